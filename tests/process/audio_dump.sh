#!/usr/bin/env bash
# The real audio device's output reaches --audio-dump: run the game without a sound card, let the
# logo end by itself (it plays the confirm effect), and look for that sound in the dump.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 800x600x24

dump="$work/out.wav"
# No frame wait: the logo's 400 frames pass in well under a second.
"$exe" --fps 0 --audio-dump "$dump" >"$work/game.log" 2>&1 &
gpid=$!
pids+=("$gpid")

peak_of() { sox "$1" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'; }
heard() {
  [ -s "$dump" ] || return 1
  local p
  p="$(peak_of "$dump")"
  awk -v p="${p:-0}" -v s="$(soxi -D "$dump" 2>/dev/null || echo 0)" 'BEGIN { exit !(p >= 0.1 && s >= 2.0) }'
}
# A loaded machine starts slowly: wait up to 60 s for the effect to reach the dump.
for _ in $(seq 60); do
  sleep 1
  heard && break
  kill -0 "$gpid" 2>/dev/null || break
done
# The dump keeps its header current, so even a killed program leaves a whole file.
kill -9 "$gpid" 2>/dev/null || true
wait "$gpid" 2>/dev/null || true

[ -s "$dump" ] || fail "no dump written"
channels="$(soxi -c "$dump")"
rate="$(soxi -r "$dump")"
bits="$(soxi -b "$dump")"
seconds="$(soxi -D "$dump")"
peak="$(peak_of "$dump")"
echo "dump: $channels channels, $rate Hz, $bits bits, $seconds s, peak $peak"
[ "$channels" = 2 ] && [ "$bits" = 16 ] || fail "unexpected format"
[ "$rate" = 44100 ] || [ "$rate" = 48000 ] || fail "unexpected rate"
awk -v s="$seconds" 'BEGIN { exit !(s >= 2.0) }' || fail "dump too short"
awk -v p="$peak" 'BEGIN { exit !(p >= 0.1) }' || fail "dump is silent"
echo "audio dump ok"
