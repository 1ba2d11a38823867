#!/usr/bin/env bash
# A million frames of the test pilot's game through the real program, uncapped and headless: the
# pilot's input is recorded on the scripted machine and replayed by the program, every frame's
# state is checked from its trace, its heap and resident memory are sampled, and its final
# checksums must be the scripted machine's. Takes minutes; not run by CI.
# Usage: scripts/soak.sh [build folder]
#   SOAK_FRAMES (default 1000000), SOAK_WARM_UP (frames before the memory must hold, 100000)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
frames="${SOAK_FRAMES:-1000000}"
warm_up="${SOAK_WARM_UP:-100000}"
checker="$(realpath scripts/soak_invariants.py)"
cmake --build "$build" --target zizid-ozavav soak_recording heap_sampler >/dev/null

work="$(mktemp -d)"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start=$(date +%s)
expected="$("$build/tests/soak_recording" "$frames" "$work/soak.zzr")"
echo "the pilot's $frames frames recorded on the scripted machine in $(( $(date +%s) - start )) s"

mkfifo "$work/trace"
start=$(date +%s)
# Run from the build folder, where the songs are; no window and no sound card are needed.
(cd "$build" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZZ_HEAP_LOG="$work/heap.log" \
  LD_PRELOAD="$build/tests/libheap_sampler.so" exec ./zizid-ozavav --fps 0 \
  --replay "$work/soak.zzr" --frames "$frames" --checksum --trace "$work/trace" \
  >"$work/game.out" 2>"$work/game.err") &
pid=$!
status=0
python3 "$checker" "$work/trace" --pid "$pid" --heap-log "$work/heap.log" --warm-up "$warm_up" ||
  status=1
code=0
wait "$pid" || code=$?
pid=""
seconds=$(( $(date +%s) - start ))
echo "the program played them in $seconds s with the trace checked, exit $code"
[ -s "$work/game.err" ] && { echo "it said:"; cat "$work/game.err"; }
got="$(grep '^checksum ' "$work/game.out" || true)"
[ "$code" = 0 ] || status=1
if [ "$got" = "$expected" ]; then
  echo "final $got, as on the scripted machine"
else
  echo "final '$got', but the scripted machine ended with '$expected'"
  status=1
fi
[ "$status" = 0 ] && echo "soak passed" || echo "soak FAILED"
exit "$status"
