#!/usr/bin/env bash
# The settings file as a player meets it: written with the defaults at the first start, a damaged
# one told by line and left as it is, an unwritable folder costing one warning and no start, and
# a recording that keeps the fix it was played with. A read-only folder is read and left alone.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
export SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER LC_ALL LC_MESSAGES
export LANG=C.UTF-8
settings="$XDG_CONFIG_HOME/zizid-ozavav/settings.ini"

# Root writes anywhere: the games run without the rights that pass over a folder's mode.
as_player=()
[ "$(id -u)" = 0 ] && as_player=(setpriv --bounding-set -dac_override,-dac_read_search,-fowner --)

# run CODE NAME ARGS...: the game headless, its exit code checked, its errors in err.log.
run() {
  local want="$1" name="$2"
  shift 2
  local code=0
  timeout -k 5 60 "${as_player[@]}" "$exe" "$@" >"$work/out.log" 2>"$work/err.log" || code=$?
  [ "$code" = "$want" ] || fail "$name: exit $code, not $want"
}

run 0 "first start" --frames 5
[ -s "$settings" ] || fail "no settings file was written at $settings"
[ -s "$work/err.log" ] && fail "the first start printed: $(cat "$work/err.log")"
grep -qx 'mission-start-speed = no' "$settings" || fail "the fix is not off in the defaults"
grep -qx 'keep-high-score = no' "$settings" || fail "the kept hi-score is not off in the defaults"
grep -qx 'button1 = Z, Space' "$settings" || fail "the keys are not the original's"
echo "first start: defaults written to $settings"

printf '[display]\nscale = huge\nfullscreen = no\nbogus line\n[keyboard]\nup = W\n' >"$settings"
cp "$settings" "$work/kept.ini"
run 0 "damaged file" --frames 5
grep -q 'line 2: .*scale' "$work/err.log" || fail "the bad scale was not told by line"
grep -q 'line 4: ' "$work/err.log" || fail "the line without a setting was not told"
[ "$(wc -l <"$work/err.log")" -eq 2 ] || fail "more than the two bad lines told: $(cat "$work/err.log")"
cmp -s "$settings" "$work/kept.ini" || fail "the player's file was rewritten"
echo "damaged file: told by line, left as it was"

run 2 "missing --config" --config "$work/nowhere.ini" --frames 5
grep -q 'nowhere.ini' "$work/err.log" || fail "the missing --config file was not named"

touch "$work/blocker"
XDG_CONFIG_HOME="$work/blocker" run 0 "unwritable folder" --frames 5
[ "$(wc -l <"$work/err.log")" -eq 1 ] || fail "not one warning: $(cat "$work/err.log")"
grep -q 'cannot be written' "$work/err.log" || fail "the warning does not say what failed"
echo "unwritable folder: one warning, the game ran"

# A read-only settings folder: the player's file in it is read and kept; without one, one warning.
readonly_config="$work/readonly/zizid-ozavav"
mkdir -p "$readonly_config"
printf '[display]\nscale = bogus\n' >"$readonly_config/settings.ini"
chmod 555 "$readonly_config"
XDG_CONFIG_HOME="$work/readonly" run 0 "read-only folder" --frames 5
grep -q 'line 2: .*scale' "$work/err.log" || fail "the file in a read-only folder was not read"
[ "$(wc -l <"$work/err.log")" = 1 ] || fail "read-only folder: $(cat "$work/err.log")"
[ "$(cat "$readonly_config/settings.ini")" = "$(printf '[display]\nscale = bogus')" ] ||
  fail "the file in a read-only folder changed"
chmod 755 "$readonly_config" && rm "$readonly_config/settings.ini" && chmod 555 "$readonly_config"
XDG_CONFIG_HOME="$work/readonly" run 0 "read-only folder without a file" --frames 5
grep -q 'cannot be written (Permission denied); the defaults are used' "$work/err.log" ||
  fail "read-only folder without a file: $(cat "$work/err.log")"
[ "$(wc -l <"$work/err.log")" = 1 ] || fail "not one warning: $(cat "$work/err.log")"
chmod 755 "$readonly_config"
echo "read-only folder: its file read and kept; without one, one warning"

printf '[fixes]\nmission-start-speed = yes\n' >"$work/fixed.ini"
run 0 "recording with the fix" --config "$work/fixed.ini" --record "$work/fixed.zzr" --frames 5
[ "$(od -An -tu4 -j8 -N4 "$work/fixed.zzr" | tr -d ' ')" = 2 ] || fail "the fix is not in the recording"
run 0 "recording without it" --record "$work/plain.zzr" --frames 5
[ "$(od -An -tu4 -j8 -N4 "$work/plain.zzr" | tr -d ' ')" = 0 ] || fail "a fix crept into the recording"
echo "recordings keep the fix they were played with"
