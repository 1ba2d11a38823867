#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) in build-fuzz/ and runs each for
# FUZZ_SECONDS (default 30) on its seeds; fails on the first crash, leak or sanitizer report.
# FUZZ_TARGETS="fuzz_smf fuzz_wave" runs only those; FUZZ_JOBS=N runs N processes per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
parallel=()
if [[ ${FUZZ_JOBS:-1} -gt 1 ]]; then parallel=(-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS"); fi

cmake --preset fuzz -B "$build_dir" >/dev/null
mapfile -t all < <(find fuzz -maxdepth 1 -name 'fuzz_*.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
read -r -a targets <<<"${FUZZ_TARGETS:-${all[*]}}"
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

# Seeds: the hand-made corner cases in fuzz/corpus/<kind>/ plus the files the generator made.
assets=$build_dir/assets
seed_files() {
  case $1 in
    fuzz_bitmap) echo "$assets/BMP_00" "$assets/resources/BITMAP/BMP_00" ;;
    fuzz_wave) echo "$assets"/resources/WAVE/* ;;
    fuzz_smf) echo "$assets"/MD0?t.mid ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  kind=${target#fuzz_}
  work=$build_dir/corpus/$kind   # what the fuzzer finds stays here for the next run
  generated=$build_dir/seeds/$kind
  artifacts=$build_dir/artifacts/$kind
  mkdir -p "$work" "$generated" "$artifacts"
  for f in $(seed_files "$target"); do cp "$f" "$generated/"; done
  log=$build_dir/$target.log
  echo "== $target: ${seconds}s"
  # Without a terminal, libFuzzer's exit code is the verdict: 0 clean, anything else a finding.
  if "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "${parallel[@]}" \
    "$work" "fuzz/corpus/$kind" "$generated" >"$log" 2>&1; then
    grep -h -E '^Done [0-9]+ runs' "$log" fuzz-*.log 2>/dev/null || true
    rm -f fuzz-*.log
  else
    echo "FAILED: $target (log: $log, inputs: $artifacts/)"
    grep -h -A30 -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:' "$log" | head -40 || true
    status=1
  fi
done
exit $status
