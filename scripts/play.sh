#!/usr/bin/env bash
# Installs what building and playing need when it is missing, builds the game without its tests
# and starts it; arguments are passed to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
# Lets a fresh clone in another folder reuse the compiler cache of earlier builds.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
scripts/install-deps.sh play
# Tests and benchmarks stay out of the build (and their packages off the machine); a later
# scripts/test.sh in the same folder turns them on again.
BUILD_DIR=build scripts/build.sh -DBUILD_TESTING=OFF -DZZ_BENCH=OFF
cd build && exec ./zizid-ozavav "$@"
