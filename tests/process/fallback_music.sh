#!/usr/bin/env bash
# Without a usable SoundFont the songs still play, on the built-in synthesiser: start the game
# with a damaged SoundFont, let the logo pass into the title, and listen to the title song in
# the dump. One line on standard error says which font failed. The music volume setting scales it.
# A real SoundFont cut short does the same; one the player may not read is refused.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 800x600x24
printf 'RIFF\004\000\000\000sfbk' >"$work/broken.sf2"  # a SoundFont's header and nothing more

# title DUMP [OPTIONS...]: plays into the title and prints the levels of the title song.
title() {
  local dump="$1"
  shift
  timeout -k 10 120 "$exe" --frames 900 --fps 60 --soundfont "$work/broken.sf2" \
    --audio-dump "$dump" "$@" >"$work/game.log" 2>&1 || fail "the game failed"
  title_levels "$dump"
}

read -r rms peak <<<"$(title "$work/full.wav")"
echo "title on the built-in synthesiser: RMS $rms, peak $peak"
line="$(grep 'built-in synthesiser' "$work/game.log")" || fail "no line about the built-in synthesiser"
[ "$(echo "$line" | wc -l)" = 1 ] || fail "more than one line about the built-in synthesiser"
echo "$line" | grep -q "SoundFont $work/broken.sf2 could not be loaded" || fail "the line does not name the font"
# A SoundFont is installed here: the player is not told to install one.
echo "$line" | grep -q 'apt-get' && fail "the line names packages although a SoundFont is installed"
grep -v '^music: ' "$work/game.log" | grep -q . && fail "the synthesiser's own lines were printed raw"
awk -v r="$rms" 'BEGIN { exit !(r >= 0.005) }' || fail "the title song is silent"
awk -v p="$peak" 'BEGIN { exit !(p < 1.0) }' || fail "the title song reaches full scale"

# Half the music volume is a quarter of the amplitude (the setting is squared to sound even).
read -r half _ <<<"$(title "$work/half.wav" --music-volume 50)"
echo "at --music-volume 50: RMS $half"
awk -v h="$half" -v r="$rms" 'BEGIN { exit !(h > 0.15 * r && h < 0.4 * r) }' ||
  fail "--music-volume 50 does not give about a quarter of the level"
# An installed SoundFont cut short (a broken download) falls back the same way, in one line; a
# --soundfont the player may not read is refused with the reason.
installed=""
for font in /usr/share/sounds/sf2/*.sf2 /usr/share/soundfonts/*.sf2; do
  [ -f "$font" ] && installed="$font" && break
done
if [ -n "$installed" ]; then
  head -c 300000 "$installed" >"$work/cut.sf2"
  timeout -k 10 120 "$exe" --frames 300 --fps 60 --soundfont "$work/cut.sf2" \
    >"$work/cut.log" 2>&1 || fail "the game failed on a cut SoundFont"
  grep -q "SoundFont $work/cut.sf2 could not be loaded" "$work/cut.log" || fail "no fallback line"
  [ "$(wc -l <"$work/cut.log")" = 1 ] || fail "a cut SoundFont took more than one line: $(cat "$work/cut.log")"
  echo "a cut SoundFont: $(cat "$work/cut.log")"
fi
cp "$work/broken.sf2" "$work/locked.sf2"
chmod 000 "$work/locked.sf2"
as_player=()
[ "$(id -u)" = 0 ] && as_player=(setpriv --bounding-set -dac_override,-dac_read_search --)
code=0
"${as_player[@]}" "$exe" --frames 5 --soundfont "$work/locked.sf2" >"$work/locked.log" 2>&1 || code=$?
[ "$code" = 2 ] || fail "an unreadable --soundfont: exit $code, not 2"
grep -q "locked.sf2: Permission denied" "$work/locked.log" || fail "no reason: $(cat "$work/locked.log")"
echo "fallback music ok"
