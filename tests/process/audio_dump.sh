#!/usr/bin/env bash
# The real audio device's output reaches --audio-dump: run the game without a sound card, let the
# logo end by itself (it plays the confirm effect), and look for that sound in the dump.
set -euo pipefail
exe="$(realpath "$1")"

# A private network namespace keeps this copy apart from any other copy running on the machine
# (the single-instance check uses an abstract socket); without one, run as is.
if [ -z "${ZZ_AUDIO_DUMP_INNER:-}" ] && unshare -n true 2>/dev/null; then
  ZZ_AUDIO_DUMP_INNER=1 exec unshare -n bash "$0" "$@"
fi

work="$(mktemp -d)"
xpid=""
gpid=""
cleanup() {
  [ -n "$gpid" ] && kill -9 "$gpid" 2>/dev/null || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "no virtual display"; exit 1; }
display=":$(head -n1 "$work/display")"

dump="$work/out.wav"
# No frame wait: the logo's 400 frames pass in well under a second.
DISPLAY="$display" SDL_AUDIODRIVER=dummy "$exe" --fps 0 --audio-dump "$dump" \
  >"$work/log" 2>&1 &
gpid=$!

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
gpid=""

[ -s "$dump" ] || { echo "no dump written"; cat "$work/log"; exit 1; }
channels="$(soxi -c "$dump")"
rate="$(soxi -r "$dump")"
bits="$(soxi -b "$dump")"
seconds="$(soxi -D "$dump")"
peak="$(peak_of "$dump")"
echo "dump: $channels channels, $rate Hz, $bits bits, $seconds s, peak $peak"
[ "$channels" = 2 ] && [ "$bits" = 16 ] || { echo "unexpected format"; exit 1; }
[ "$rate" = 44100 ] || [ "$rate" = 48000 ] || { echo "unexpected rate"; exit 1; }
awk -v s="$seconds" 'BEGIN { exit !(s >= 2.0) }' || { echo "dump too short"; exit 1; }
awk -v p="$peak" 'BEGIN { exit !(p >= 0.1) }' || { echo "dump is silent"; exit 1; }
echo "audio dump ok"
