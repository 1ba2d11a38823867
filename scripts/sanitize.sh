#!/usr/bin/env bash
# Runs the unit tests under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/), and the
# music and audio tests, whose threads share buffers, under ThreadSanitizer (build-tsan/).
# SANITIZE_ONLY=asan or SANITIZE_ONLY=tsan runs one half; CXX picks the compiler (default c++).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy

run_asan() {
  echo "== ASan + UBSan: every unit test"
  cmake --preset asan >/dev/null
  cmake --build build-asan -j "$jobs"
  (cd build-asan && ctest -L unit --output-on-failure -j "$jobs")
}

# ThreadSanitizer needs its fixed address layout; with more random bits than it expects it stops
# at start-up. Address randomisation is turned off for ctest and, through it, for every test.
run_tsan() {
  echo "== TSan: the suites labelled threads"
  cmake --preset tsan >/dev/null
  cmake --build build-tsan -j "$jobs" --target threaded_tests
  (cd build-tsan && setarch "$(uname -m)" -R ctest -L threads --output-on-failure -j "$jobs")
}

case ${SANITIZE_ONLY:-both} in
  asan) run_asan ;;
  tsan) run_tsan ;;
  *) run_asan && run_tsan ;;
esac
