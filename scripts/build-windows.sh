#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows into build-windows/ and packs the players' zip.
# Installs what is missing; SDL2 is built once from Debian's source package, as a static library,
# and kept in $ZZ_SDL2_CACHE (default ~/.cache/zizid-ozavav) for every later build and clone.
# Extra arguments go to CMake's configure step of the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${WIN_BUILD_DIR:-build-windows}
host=${HOST_BUILD_DIR:-build}  # the Linux build whose generators make the assets
toolchain=$root/cmake/mingw-w64-x86_64.cmake
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true

source scripts/debian-sources.sh
scripts/install-deps.sh windows  # the Windows tests need the test tools too

# The cache key carries the compiler, so a new mingw-w64 builds SDL2 again.
sdl_version=2.26.5
compiler_id=$(x86_64-w64-mingw32-gcc-posix -dumpfullversion)
sdl_prefix=$cache_root/sdl2-$sdl_version-mingw64-gcc$compiler_id-static

build_sdl2() {
  [ -f "$sdl_prefix/lib/libSDL2.a" ] && return
  echo "Building SDL2 $sdl_version for Windows into $sdl_prefix (once)"
  enable_sources
  local work=$root/$out/sdl2-build
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get source -qq libsdl2 >source.log 2>&1) || { cat "$work/source.log"; exit 1; }
  local src
  src=$(find "$work" -maxdepth 1 -type d -name "libsdl2-$sdl_version*" | head -n 1)
  [ -n "$src" ] || { echo "apt-get source gave no SDL2 $sdl_version"; ls "$work"; exit 1; }
  cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix.partial" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/configure.log" ||
    { cat "$work/configure.log"; exit 1; }
  cmake --build "$work/build" -j "$(nproc)"
  rm -rf "$sdl_prefix.partial"
  cmake --install "$work/build" >/dev/null
  # Renamed only when complete, so a build cut short is never taken for a cached one.
  rm -rf "$sdl_prefix" && mv "$sdl_prefix.partial" "$sdl_prefix"
  rm -rf "$work"
}

build_sdl2
[ "${ZZ_SDL2_ONLY:-0}" = 1 ] && exit 0

# GoogleTest for the Windows unit tests, from the sources Debian ships with libgtest-dev.
gtest_version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo unknown)
gtest_prefix=$cache_root/googletest-${gtest_version//[:~+]/_}-mingw64-gcc$compiler_id-static
build_gtest() {
  [ -f "$gtest_prefix/lib/libgtest.a" ] && return
  echo "Building GoogleTest for Windows into $gtest_prefix (once)"
  local work=$root/$out/gtest-build
  rm -rf "$work" "$gtest_prefix.partial"
  cmake -S /usr/src/googletest -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest_prefix.partial" \
    -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work" -j "$(nproc)"
  cmake --install "$work" >/dev/null
  rm -rf "$gtest_prefix" && mv "$gtest_prefix.partial" "$gtest_prefix"
  rm -rf "$work"
}
build_gtest

# The assets come from the Linux generators, so both programs embed the same bytes.
if [ ! -f "$host/CMakeCache.txt" ]; then
  cmake -S . -B "$host" -G Ninja >/dev/null
fi
cmake --build "$host" -j "$(nproc)" --target assetgen embed_resources

cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_FIND_ROOT_PATH="$sdl_prefix;$gtest_prefix" \
  -DZZ_HOST_TOOLS_DIR="$root/$host/tools" \
  -DZZ_BENCH=OFF "$@" >/dev/null
cmake --build "$out" -j "$(nproc)"

# The players' zip: the program, its songs, how to play, and the licence when there is one.
stage=$out/zip/zizid-ozavav
rm -rf "$out/zip" && mkdir -p "$stage"
cp "$out/zizid-ozavav.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/zizid-ozavav.exe"  # the debug information stays in the build
for song in MD00t.mid MD01t.mid MD02t.mid MD03t.mid MD04t.mid MD05t.mid MD06t.mid; do
  cp "$out/$song" "$stage/"
done
sed 's/$/\r/' docs/windows/README.txt >"$stage/README.txt"
for licence in LICENSE LICENSE.txt LICENSE.md COPYING; do
  [ -f "$licence" ] && sed 's/$/\r/' "$licence" >"$stage/LICENSE.txt" && break
done
rm -f "$out/zizid-ozavav-windows.zip"
(cd "$out/zip" && zip -q -X -r "../zizid-ozavav-windows.zip" zizid-ozavav)
echo "Built $out/zizid-ozavav.exe and $out/zizid-ozavav-windows.zip"
