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

# build_from_source PACKAGE DIR-PREFIX PREFIX [CMAKE ARGS...]: one Debian source package,
# configured with emcmake and installed into PREFIX.
build_from_source() {
  local package=$1 dir=$2 prefix=$3
  shift 3
  echo "Building $package for the web into $prefix (once)"
  enable_sources
  local work=$root/$out/$package-build
  rm -rf "$work" "$prefix.partial" && mkdir -p "$work"
  (cd "$work" && apt-get source -qq "$package" >source.log 2>&1) || { cat "$work/source.log"; exit 1; }
  local src
  src=$(find "$work" -maxdepth 1 -type d -name "$dir*" | head -n 1)
  [ -n "$src" ] || { echo "apt-get source gave no $dir"; ls "$work"; exit 1; }
  emcmake cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix.partial" "$@" >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 1; }
  cmake --build "$work/build" -j "$(nproc)"
  cmake --install "$work/build" >/dev/null
  # Renamed only when complete, so a build cut short is never taken for a cached one.
  rm -rf "$prefix" && mv "$prefix.partial" "$prefix"
  rm -rf "$work"
}

# SDL2 without threads: the browser's page has one, and the game's own loop yields to it.
sdl_version=2.26.5
sdl_prefix=$cache_root/sdl2-$sdl_version-emscripten$em_version
[ -f "$sdl_prefix/lib/libSDL2.a" ] ||
  build_from_source libsdl2 "libsdl2-$sdl_version" "$sdl_prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON \
    -DSDL_TEST=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF
# zlib's own CMake makes a shared and a static library of one name, which clash here: its C
# files are compiled into the static library directly, as Debian builds them.
zlib_version=$(dpkg-query -W -f='${Version}' zlib1g-dev 2>/dev/null || echo unknown)
zlib_prefix=$cache_root/zlib-${zlib_version//[:~+]/_}-emscripten$em_version
build_zlib() {
  [ -f "$zlib_prefix/lib/libz.a" ] && return
  echo "Building zlib for the web into $zlib_prefix (once)"
  enable_sources
  local work=$root/$out/zlib-build
  rm -rf "$work" "$zlib_prefix.partial" && mkdir -p "$work" "$zlib_prefix.partial"/{lib,include}
  (cd "$work" && apt-get source -qq zlib >source.log 2>&1) || { cat "$work/source.log"; exit 1; }
  local src
  src=$(dirname "$(find "$work" -maxdepth 2 -name deflate.c | head -n 1)")
  [ -f "$src/zlib.h" ] || { echo "apt-get source gave no zlib"; ls "$work"; exit 1; }
  local objects=()
  for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
           inftrees trees uncompr zutil; do
    emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -c "$src/$c.c" -o "$work/$c.o"
    objects+=("$work/$c.o")
  done
  emar rcs "$zlib_prefix.partial/lib/libz.a" "${objects[@]}"
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
