#!/usr/bin/env bash
# Without a usable SoundFont the songs still play, on the built-in synthesiser: start the game
# with a SoundFont that does not exist, let the logo pass into the title, and listen to the
# title song in the dump. One line on standard error says how to get a better sound. The music
# volume setting scales it.
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

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no virtual display"

# title DUMP [OPTIONS...]: plays into the title and prints the RMS and peak of its last four
# seconds, the title screen, where only its song sounds.
title() {
  local dump="$1"
  shift
  DISPLAY=":$(head -n1 "$work/display")" SDL_AUDIODRIVER=dummy timeout -k 10 120 "$exe" \
    --frames 900 --fps 60 --soundfont "$work/no-such.sf2" --audio-dump "$dump" "$@" \
    >"$work/log" 2>&1 || fail "the game failed"
  [ -s "$dump" ] || fail "no dump written"
  local length
  length="$(soxi -D "$dump")"
  awk -v s="$length" 'BEGIN { exit !(s >= 8) }' || fail "dump too short ($length s)"
  sox "$dump" -n trim "$(awk -v s="$length" 'BEGIN { print s - 4 }')" stat 2>&1 |
    awk '/RMS +amplitude/ {r = $3} /Maximum amplitude/ {p = $3} END {print r, p}'
}

read -r rms peak <<<"$(title "$work/full.wav")"
echo "title on the built-in synthesiser: RMS $rms, peak $peak"
[ "$(grep -c 'SoundFont' "$work/log")" = 1 ] || fail "expected one line about the SoundFont"
grep 'SoundFont' "$work/log" | grep -q 'timgm6mb-soundfont' || fail "the line does not say what to install"
grep 'SoundFont' "$work/log" | grep -q -- '--soundfont' || fail "the line does not name --soundfont"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.005) }' || fail "the title song is silent"
awk -v p="$peak" 'BEGIN { exit !(p < 1.0) }' || fail "the title song reaches full scale"

# Half the music volume is a quarter of the amplitude (the setting is squared to sound even).
read -r half _ <<<"$(title "$work/half.wav" --music-volume 50)"
echo "at --music-volume 50: RMS $half"
awk -v h="$half" -v r="$rms" 'BEGIN { exit !(h > 0.15 * r && h < 0.4 * r) }' ||
  fail "--music-volume 50 does not give about a quarter of the level"
echo "fallback music ok"
