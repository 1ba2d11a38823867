#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) in build-fuzz/ and runs each for
# FUZZ_SECONDS (default 30) on its seeds; fails on the first crash, leak or sanitizer report.
# FUZZ_TARGETS="fuzz_smf fuzz_wave" runs only those; FUZZ_JOBS=N runs N processes per target.
# The long runs that grow the committed corpus are scripts/fuzz-campaign.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
seconds=${FUZZ_SECONDS:-30}
build_dir=$fuzz_build_dir
parallel=()
if [[ ${FUZZ_JOBS:-1} -gt 1 ]]; then parallel=(-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS"); fi

fuzz_build

status=0
for target in "${fuzz_targets[@]}"; do
  kind=${target#fuzz_}
  work=$build_dir/corpus/$kind   # what the fuzzer finds stays here for the next run
  generated=$build_dir/seeds/$kind
  artifacts=$build_dir/artifacts/$kind
  mkdir -p "$work" "$artifacts"
  fuzz_generated_seeds "$target" "$generated"
  read -r -a options <<<"$(fuzz_options "$target" | tr '\n' ' ')"
  log=$build_dir/$target.log
  echo "== $target: ${seconds}s"
  # Without a terminal, libFuzzer's exit code is the verdict: 0 clean, anything else a finding.
  if "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=25 "${options[@]}" \
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
