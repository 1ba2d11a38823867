#!/usr/bin/env bash
# The Windows executable under Wine on a virtual display: its settings and kept hi-score in
# %APPDATA%\ZIZID-OZAVAV, its window titled ZIZID-OZAVAV appears and stays, and a second start
# only brings it to the front and exits 0.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 1024x768x24
use_display_prefix

game_windows() { xdotool search --onlyvisible --name '^ZIZID-OZAVAV$' 2>/dev/null || true; }
wait_for() {  # wait_for SECONDS COMMAND...: until the command prints something
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    out="$("$@")"
    [ -n "$out" ] && { echo "$out" | head -n1; return 0; }
    sleep 0.1
  done
  return 1
}
alive() { kill -0 "$1" 2>/dev/null; }

# A headless start writes the default settings where Windows keeps a player's files (and sets
# the fresh prefix up); a damaged kept hi-score in the same folder is told by the next start.
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
rm -rf "$appdata/ZIZID-OZAVAV"
(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -k 5 120 "$wine" "$exe" \
  --frames 5 >"$work/headless.log" 2>&1) || fail "the headless start failed: $(cat "$work/headless.log")"
settings="$appdata/ZIZID-OZAVAV/settings.ini"
grep -qx 'keep-high-score = no' "$settings" || fail "no default settings in $settings"
sed -i 's/^keep-high-score = no$/keep-high-score = yes/' "$settings"
echo 12x >"$appdata/ZIZID-OZAVAV/hiscore"
echo "settings written to AppData/Roaming/ZIZID-OZAVAV"

(cd "$(dirname "$exe")" && exec "$wine" "$exe") >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
# Wine's first start in a fresh prefix sets the prefix up first.
win="$(wait_for 90 game_windows)" || fail "no window titled ZIZID-OZAVAV appeared"
sleep 3
alive "$first" || fail "the game ended within seconds of opening its window"
[ "$(game_windows | wc -l)" = 1 ] || fail "more than one game window"
echo "window $win titled ZIZID-OZAVAV, game running"
grep -q 'kept hi-score is not read: not a hi-score' "$work/first.log" ||
  fail "the kept hi-score was not looked for beside the settings: $(cat "$work/first.log")"

timeout -k 5 60 "$wine" "$exe" >"$work/second.log" 2>&1 && second=0 || second=$?
[ "$second" = 0 ] || fail "second start exited with $second"
alive "$first" || fail "the first copy died when the second started"
[ "$(game_windows | wc -l)" = 1 ] || fail "the second start made a window"
echo "second start: exit 0, first still running with the only window"
