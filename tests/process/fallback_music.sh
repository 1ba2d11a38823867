#!/usr/bin/env bash
# Without a usable SoundFont the songs still play, on the built-in synthesiser: start the game
# with a SoundFont that does not exist, let the logo pass into the title, and listen to the
# title song in the dump. One line on standard error says how to get a better sound. The music
# volume setting scales it.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 800x600x24

# title DUMP [OPTIONS...]: plays into the title and prints the levels of the title song.
title() {
  local dump="$1"
  shift
  timeout -k 10 120 "$exe" --frames 900 --fps 60 --soundfont "$work/no-such.sf2" \
    --audio-dump "$dump" "$@" >"$work/game.log" 2>&1 || fail "the game failed"
  title_levels "$dump"
}

read -r rms peak <<<"$(title "$work/full.wav")"
echo "title on the built-in synthesiser: RMS $rms, peak $peak"
[ "$(grep -c 'SoundFont' "$work/game.log")" = 1 ] || fail "expected one line about the SoundFont"
grep 'SoundFont' "$work/game.log" | grep -q 'timgm6mb-soundfont' || fail "the line does not say what to install"
grep 'SoundFont' "$work/game.log" | grep -q -- '--soundfont' || fail "the line does not name --soundfont"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.005) }' || fail "the title song is silent"
awk -v p="$peak" 'BEGIN { exit !(p < 1.0) }' || fail "the title song reaches full scale"

# Half the music volume is a quarter of the amplitude (the setting is squared to sound even).
read -r half _ <<<"$(title "$work/half.wav" --music-volume 50)"
echo "at --music-volume 50: RMS $half"
awk -v h="$half" -v r="$rms" 'BEGIN { exit !(h > 0.15 * r && h < 0.4 * r) }' ||
  fail "--music-volume 50 does not give about a quarter of the level"
echo "fallback music ok"
