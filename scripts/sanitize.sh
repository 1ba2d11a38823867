#!/usr/bin/env bash
# Runs the unit tests under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/), and the
# music and audio tests, whose threads share buffers, under ThreadSanitizer (build-tsan/).
# SANITIZE_ONLY=asan or SANITIZE_ONLY=tsan runs one half; CXX picks the compiler (default c++).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# -O1 keeps the instrumented builds quick; -g1 keeps line numbers in the reports.
common=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1"
  -DZZ_BENCH=OFF -DZZ_WERROR=ON)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy

run_asan() {
  echo "== ASan + UBSan: every unit test"
  cmake -S . -B build-asan "${common[@]}" -DZZ_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$jobs"
  (cd build-asan && ctest -L unit --output-on-failure -j "$jobs")
}

# ThreadSanitizer needs its fixed address layout; with more random bits than it expects it stops
# at start-up, and a run with address randomisation off (setarch -R) is the way round that.
tsan_prefix=()
tsan_check() {
  if "$1" --gtest_list_tests >/dev/null 2>&1; then return 0; fi
  if setarch "$(uname -m)" -R "$1" --gtest_list_tests >/dev/null 2>&1; then
    tsan_prefix=(setarch "$(uname -m)" -R)
    return 0
  fi
  echo "ThreadSanitizer cannot start on this machine:"
  "$1" --gtest_list_tests 2>&1 | head -5
  return 1
}

run_tsan() {
  echo "== TSan: music and audio tests"
  cmake -S . -B build-tsan "${common[@]}" -DZZ_TSAN=ON >/dev/null
  mapfile -t targets < <(find tests -maxdepth 1 -name '*_test.cpp' -printf '%f\n' | sed 's/\.cpp$//' |
    grep -E '^(music_|midi_stream_|mixer_|sound_)' | sort)
  cmake --build build-tsan -j "$jobs" --target "${targets[@]}"
  tsan_check "build-tsan/tests/${targets[0]}"
  local failed=()
  for t in "${targets[@]}"; do
    echo "-- $t"
    if ! (cd build-tsan && "${tsan_prefix[@]}" "tests/$t" --gtest_brief=1); then failed+=("$t"); fi
  done
  if ((${#failed[@]})); then
    echo "TSan failures: ${failed[*]}"
    return 1
  fi
}

case ${SANITIZE_ONLY:-both} in
  asan) run_asan ;;
  tsan) run_tsan ;;
  *) run_asan && run_tsan ;;
esac
