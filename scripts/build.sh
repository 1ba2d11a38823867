#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR); extra arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake --preset default -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
