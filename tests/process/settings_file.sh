#!/usr/bin/env bash
# The settings file as a player meets it: written with the defaults at the first start, a damaged
# one told by line and left as it is, an unwritable folder costing one warning and no start, and
# a recording that keeps the fix it was played with.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
export SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER LC_ALL LC_MESSAGES
export LANG=C.UTF-8
settings="$XDG_CONFIG_HOME/zizid-ozavav/settings.ini"

# run CODE NAME ARGS...: the game headless, its exit code checked, its errors in err.log.
run() {
  local want="$1" name="$2"
  shift 2
  local code=0
  timeout -k 5 60 "$exe" "$@" >"$work/out.log" 2>"$work/err.log" || code=$?
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

printf '[fixes]\nmission-start-speed = yes\n' >"$work/fixed.ini"
run 0 "recording with the fix" --config "$work/fixed.ini" --record "$work/fixed.zzr" --frames 5
[ "$(od -An -tu4 -j8 -N4 "$work/fixed.zzr" | tr -d ' ')" = 2 ] || fail "the fix is not in the recording"
run 0 "recording without it" --record "$work/plain.zzr" --frames 5
[ "$(od -An -tu4 -j8 -N4 "$work/plain.zzr" | tr -d ' ')" = 0 ] || fail "a fix crept into the recording"
echo "recordings keep the fix they were played with"
