#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test; then the unit
# tests under the sanitizers and each fuzz target for a bounded time.
# ZZ_TEST_QUICK=1 stops after the normal tests; FUZZ_SECONDS sets the time per fuzz target.
# The Windows program is cross-built and tested under Wine, and the web page built and tested in
# headless Chromium; ZZ_TEST_WINDOWS=0 or ZZ_TEST_WEB=0 leaves either out.
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets a fresh clone in another folder reuse the compiler cache of earlier builds.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
scripts/install-deps.sh test
# Tests and benchmarks on, also where scripts/play.sh configured this folder without them.
BUILD_DIR=build scripts/build.sh -DZZ_WERROR=ON -DBUILD_TESTING=ON -DZZ_BENCH=ON
(cd build && ctest --output-on-failure -j "$(nproc)")
# The Windows program, cross-built and tested under Wine against this build.
if [[ ${ZZ_TEST_WINDOWS:-1} != 0 ]]; then
  HOST_BUILD_DIR=build scripts/build-windows.sh -DZZ_WERROR=ON
  # One Wine server for the whole run: a server that times out between two tests can reset the
  # connection of the next one starting. Its services start here, with wineboot: started by a
  # test, they would keep that test's output open and ctest waiting for it.
  mkdir -p "${WINEPREFIX:-$HOME/.wine}"
  wineserver -p 2>/dev/null || true  # a server already running is used as it is
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot >/dev/null 2>&1
  trap 'wineserver -k 2>/dev/null || true' EXIT
  (cd build-windows && ctest --output-on-failure -j "$(nproc)")
  wineserver -k 2>/dev/null || true
  trap - EXIT
fi
# The web page, built with Emscripten and driven in Debian's headless Chromium.
if [[ ${ZZ_TEST_WEB:-1} != 0 ]]; then
  HOST_BUILD_DIR=build scripts/build-web.sh -DZZ_WERROR=ON
  tests/web/run.sh build build-web
fi
if [[ ${ZZ_TEST_QUICK:-0} == 1 ]]; then exit 0; fi
scripts/sanitize.sh
scripts/fuzz.sh
