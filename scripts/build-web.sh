#!/usr/bin/env bash
# Builds the game for web browsers into build-web/: index.html, the program's .js and .wasm, and
# the songs packed beside them. Installs what is missing; SDL2 and zlib are built once from
# Debian's source packages with Emscripten and kept in $ZZ_SDL2_CACHE (default
# ~/.cache/zizid-ozavav) for every later build and clone. Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${WEB_BUILD_DIR:-build-web}
host=${HOST_BUILD_DIR:-build}  # the Linux build whose generators make the assets
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
# Emscripten's JavaScript tools use Debian's node modules (acorn), which a Node.js from
# elsewhere does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

source scripts/debian-sources.sh
scripts/install-deps.sh web

# The cache key carries the compiler, so a new Emscripten builds the libraries again.
em_version=$(emcc -dumpversion)

# fetch_source PACKAGE FOLDER-PREFIX: one Debian source package unpacked under $work; prints its
# folder, which must start with FOLDER-PREFIX (the version the cache is named after).
fetch_source() {
  enable_sources >&2
  (cd "$work" && apt-get source -qq "$1" >source.log 2>&1) || { cat "$work/source.log" >&2; exit 1; }
  local found
  found=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$2*" | head -n 1)
  [ -n "$found" ] || { echo "apt-get source $1 gave no $2" >&2; ls "$work" >&2; exit 1; }
  echo "$found"
}

# compile_archive FOLDER ARCHIVE FLAGS FILE...: C files (named from FOLDER) compiled in parallel
# with emcc into one static library. Object names carry their folder: several of SDL's back ends
# share file names.
compile_archive() {
  local folder=$1 archive=$2 flags=$3 objects
  shift 3
  objects=$(mktemp -d)
  (cd "$folder" && printf '%s\n' "$@" | xargs -P "$(nproc)" -I{} sh -c \
    "emcc -O2 -w $flags -c \"\$2\" -o \"\$1/\$(echo \"\$2\" | tr / _).o\"" _ "$objects" {})
  emar rcs "$archive" "$objects"/*.o
  rm -rf "$objects"
}

# SDL2 without threads: the browser's page has one, and the game's own loop yields to it. Its
# C files are compiled directly with the configuration SDL ships for Emscripten: SDL's own CMake
# runs a few hundred checks, each a full emcc link, which took longer than all the rest of CI.
sdl_version=2.26.5
sdl_prefix=$cache_root/sdl2-$sdl_version-emscripten$em_version-direct
sdl_dirs=(. atomic audio audio/disk audio/dummy audio/emscripten cpuinfo dynapi events file
          filesystem/emscripten haptic haptic/dummy hidapi joystick joystick/emscripten loadso/dlopen
          locale locale/emscripten misc misc/emscripten power power/emscripten render
          render/opengles2 render/software sensor sensor/dummy stdlib thread thread/generic timer
          timer/unix video video/dummy video/emscripten video/yuv2rgb)
build_sdl2() {
  [ -f "$sdl_prefix/lib/libSDL2.a" ] && return
  echo "Building SDL2 $sdl_version for the web into $sdl_prefix (once)"
  local work=$root/$out/sdl2-build
  rm -rf "$work" "$sdl_prefix.partial" && mkdir -p "$work" "$sdl_prefix.partial"/{lib,include/SDL2}
  local src files
  src=$(fetch_source libsdl2 "libsdl2-$sdl_version")
  files=$(cd "$src/src" && for dir in "${sdl_dirs[@]}"; do printf '%s\n' "$dir"/*.c; done |
    sed 's|^\./||')
  # shellcheck disable=SC2086  # one file name a line, none with a blank
  compile_archive "$src/src" "$sdl_prefix.partial/lib/libSDL2.a" -I../include $files
  cp "$src"/include/*.h "$sdl_prefix.partial/include/SDL2/"
  mkdir -p "$sdl_prefix.partial/lib/cmake/SDL2"
  cat >"$sdl_prefix.partial/lib/cmake/SDL2/SDL2Config.cmake" <<'CMAKE'
# SDL2 compiled for the web by scripts/build-web.sh: the static library and its headers.
get_filename_component(_sdl2_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET SDL2::SDL2-static)
  add_library(SDL2::SDL2-static STATIC IMPORTED)
  set_target_properties(SDL2::SDL2-static PROPERTIES
    IMPORTED_LOCATION "${_sdl2_prefix}/lib/libSDL2.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_sdl2_prefix}/include;${_sdl2_prefix}/include/SDL2")
endif()
set(SDL2_FOUND TRUE)
CMAKE
  # Renamed only when complete, so a build cut short is never taken for a cached one.
  rm -rf "$sdl_prefix" && mv "$sdl_prefix.partial" "$sdl_prefix"
  rm -rf "$work"
}
build_sdl2
# zlib's own CMake makes a shared and a static library of one name, which clash here: its C
# files are compiled into the static library directly, as Debian builds them.
zlib_version=$(dpkg-query -W -f='${Version}' zlib1g-dev 2>/dev/null || echo unknown)
zlib_prefix=$cache_root/zlib-${zlib_version//[:~+]/_}-emscripten$em_version
build_zlib() {
  [ -f "$zlib_prefix/lib/libz.a" ] && return
  echo "Building zlib for the web into $zlib_prefix (once)"
  local work=$root/$out/zlib-build
  rm -rf "$work" "$zlib_prefix.partial" && mkdir -p "$work" "$zlib_prefix.partial"/{lib,include}
  local src
  src=$(fetch_source zlib zlib-)
  compile_archive "$src" "$zlib_prefix.partial/lib/libz.a" "-DHAVE_UNISTD_H -DHAVE_STDARG_H" \
    adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c gzwrite.c infback.c \
    inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c
  cp "$src/zlib.h" "$src/zconf.h" "$zlib_prefix.partial/include/"
  rm -rf "$zlib_prefix" && mv "$zlib_prefix.partial" "$zlib_prefix"
  rm -rf "$work"
}
build_zlib
[ "${ZZ_SDL2_ONLY:-0}" = 1 ] && exit 0

# The assets come from the Linux generators, so every program embeds the same bytes.
if [ ! -f "$host/CMakeCache.txt" ]; then
  cmake -S . -B "$host" -G Ninja >/dev/null
fi
cmake --build "$host" -j "$(nproc)" --target assetgen embed_resources

emcmake cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_FIND_ROOT_PATH="$sdl_prefix;$zlib_prefix" \
  -DZZ_HOST_TOOLS_DIR="$root/$host/tools" \
  -DBUILD_TESTING=OFF -DZZ_BENCH=OFF "$@" >/dev/null
cmake --build "$out" -j "$(nproc)"
echo "Built $out/index.html; serve it with: python3 -m http.server -d $out"
