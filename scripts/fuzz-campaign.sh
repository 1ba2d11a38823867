#!/usr/bin/env bash
# The long fuzzing run, not for CI: each target until FUZZ_RUNS executions (default 10 million)
# or FUZZ_SECONDS (default: no limit), with FUZZ_JOBS processes (default 1); then its corpus is
# minimized (-merge=1) into fuzz/corpus/<kind>/, where CI's short runs start from, and a table of
# executions, speed, coverage and memory is printed. FUZZ_TARGETS picks targets as in fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
runs=${FUZZ_RUNS:-10000000}
seconds=${FUZZ_SECONDS:-0}
jobs=${FUZZ_JOBS:-1}
build_dir=$fuzz_build_dir

fuzz_build

# A hand-made seed has a name that says what it holds; the fuzzer's finds are named by hash.
is_found() { [[ $(basename "$1") =~ ^[0-9a-f]{40}$ ]]; }

# Keeps the hand-made seeds and adds the fewest inputs that reach everything else the run or the
# committed corpus reached (the fuzzer writes only its new finds to $work).
minimize() {  # minimize TARGET KIND OPTIONS... ; the run's corpus is in $work
  local target=$1 kind=$2 kept
  shift 2
  kept=$(mktemp -d)
  for f in "fuzz/corpus/$kind"/*; do is_found "$f" || cp "$f" "$kept/"; done
  # Edges only, not hit counts: counted, the text formats kept close to a thousand files.
  "$build_dir/fuzz/$target" -merge=1 -use_counters=0 "$@" "$kept" "$work" "fuzz/corpus/$kind" \
    "$generated" >"$build_dir/$target.merge.log" 2>&1
  rm -rf "fuzz/corpus/$kind"
  mv "$kept" "fuzz/corpus/$kind"
  chmod 755 "fuzz/corpus/$kind"
}

table="| target | executions | exec/s (wall) | exec/s (CPU) | cov / ft | peak RSS | corpus | result |"
table+=$'\n|---|---|---|---|---|---|---|---|'
status=0
for target in "${fuzz_targets[@]}"; do
  kind=${target#fuzz_}
  work=$build_dir/campaign/$kind
  generated=$build_dir/seeds/$kind
  artifacts=$build_dir/artifacts/$kind
  mkdir -p "$work" "$artifacts"
  fuzz_generated_seeds "$target" "$generated"
  read -r -a options <<<"$(fuzz_options "$target" | tr '\n' ' ')"
  limits=(-runs=$((runs / jobs)))
  ((seconds > 0)) && limits+=(-max_total_time="$seconds")
  ((jobs > 1)) && limits+=(-jobs="$jobs" -workers="$jobs")
  log=$build_dir/$target.campaign.log
  echo "== $target: ${runs} executions$( ((seconds > 0)) && echo " or ${seconds}s")"
  result=clean
  TIMEFORMAT='%U %S %R'
  cpu=$({ time "$build_dir/fuzz/$target" "${limits[@]}" -timeout=25 "${options[@]}" \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "fuzz/corpus/$kind" \
    "$generated" >"$log" 2>&1; } 2>&1) || { result="FAILED (log: $log)"; status=1; }
  ((jobs > 1)) && cat fuzz-*.log >>"$log" 2>/dev/null && rm -f fuzz-*.log
  read -r user sys wall <<<"$cpu"
  done_runs=$(grep -h -o 'number_of_executed_units: [0-9]*' "$log" | awk '{s += $2} END {print s + 0}')
  peak=$(grep -h -o 'peak_rss_mb: *[0-9]*' "$log" | awk '{if ($2 > m) m = $2} END {print m + 0}')
  cov=$(grep -h -E '^#[0-9]+.*cov: ' "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 \/ \2/')
  minimize "$target" "$kind" "${options[@]}"
  files=$(find "fuzz/corpus/$kind" -type f | wc -l)
  table+=$'\n'"| $kind | $done_runs | $(awk -v n="$done_runs" -v t="$wall" 'BEGIN {printf "%d", n / t}') |"
  table+=" $(awk -v n="$done_runs" -v t="$user" -v s="$sys" 'BEGIN {printf "%d", n / (t + s)}') |"
  table+=" $cov | ${peak} MB | $files files | $result |"
done
echo "$table"
exit $status
