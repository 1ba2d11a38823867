#!/usr/bin/env bash
# Without a usable SoundFont the songs still play, on the built-in synthesiser: start the game
# with a SoundFont that does not exist, let the logo pass into the title, and listen to the
# title song in the dump. One line on standard error says how to get a better sound.
set -euo pipefail
exe="$(realpath "$1")"

if [ -z "${ZZ_FALLBACK_TEST_INNER:-}" ] && unshare -n true 2>/dev/null; then
  ZZ_FALLBACK_TEST_INNER=1 exec unshare -n bash "$0" "$@"
fi

work="$(mktemp -d)"
xpid=""
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$work/log" 2>/dev/null; exit 1; }

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no virtual display"

dump="$work/out.wav"
DISPLAY=":$(head -n1 "$work/display")" SDL_AUDIODRIVER=dummy timeout 120 "$exe" \
  --frames 900 --fps 60 --soundfont "$work/no-such.sf2" --audio-dump "$dump" >"$work/log" 2>&1 ||
  fail "the game failed"

[ "$(grep -c 'SoundFont' "$work/log")" = 1 ] || fail "expected one line about the SoundFont"
grep 'SoundFont' "$work/log" | grep -q 'timgm6mb-soundfont' || fail "the line does not say what to install"
grep 'SoundFont' "$work/log" | grep -q -- '--soundfont' || fail "the line does not name --soundfont"

[ -s "$dump" ] || fail "no dump written"
length="$(soxi -D "$dump")"
awk -v s="$length" 'BEGIN { exit !(s >= 8) }' || fail "dump too short ($length s)"
# The last four seconds are the title screen, where only its song sounds.
stats="$(sox "$dump" -n trim "$(awk -v s="$length" 'BEGIN { print s - 4 }')" stat 2>&1)"
rms="$(awk '/RMS +amplitude/ {print $3}' <<<"$stats")"
peak="$(awk '/Maximum amplitude/ {print $3}' <<<"$stats")"
echo "title on the built-in synthesiser: RMS $rms, peak $peak"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.005) }' || fail "the title song is silent"
awk -v p="$peak" 'BEGIN { exit !(p < 1.0) }' || fail "the title song reaches full scale"
echo "fallback music ok"
