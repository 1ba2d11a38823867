#!/usr/bin/env bash
# A short game played with real key presses is recorded and traced; replaying the recording as
# fast as possible must give the very same trace, line for line.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 1024x768x24

frames=1500
"$exe" --frames $frames --record "$work/game.zzr" --trace "$work/played.jsonl" >"$work/played.log" 2>&1 &
pid=$!
pids+=("$pid")
# Through the logo, the title and the briefing into mission 1, steering a little on the way.
for key in space space space Up Right space; do
  sleep 2
  xdotool key --delay 120 "$key" 2>/dev/null || true
done
wait "$pid" || fail "the recorded run did not end cleanly"

"$exe" --fps 0 --frames $frames --replay "$work/game.zzr" --trace "$work/replayed.jsonl" \
  >"$work/replayed.log" 2>&1 || fail "the replay did not end cleanly"

[ "$(wc -l <"$work/played.jsonl")" -eq $frames ] || fail "the trace is not one line per frame"
grep -q '"SceneId":128' "$work/played.jsonl" || fail "the recorded game never reached a mission"
cmp "$work/played.jsonl" "$work/replayed.jsonl" || fail "the replayed trace differs"
# Start-up as documented: frame 1 starts the services, frame 2 runs the boot scene from seed 2.
head -n1 "$work/played.jsonl" | grep -q '^{"frame":1,"ClockChanges":1,"SystemState":64,' ||
  fail "first line"
sed -n 2p "$work/played.jsonl" | grep -q '"SceneId":4,.*"HiScore":2000,' || fail "boot line"

"$exe" --replay "$work/missing.zzr" >"$work/err.log" 2>&1 && fail "a missing replay was accepted"
grep -q "cannot replay" "$work/err.log" || fail "no clear error for a missing replay"
printf 'ZZRP\1\0\0\0' >"$work/short.zzr"
"$exe" --replay "$work/short.zzr" >"$work/err.log" 2>&1 && fail "a truncated replay was accepted"
grep -q "shorter than a replay header" "$work/err.log" || fail "no clear error for a short replay"
echo "trace and replay agree over $frames frames"
