#!/usr/bin/env bash
# What a new player meets before the game: a start without any display stops at once with words
# that say what to do (in English, or the original Japanese for a Japanese locale); the help;
# refused options and files with the documented exit codes; diagnostics only when asked for.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
export SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER LC_ALL LC_MESSAGES
export LANG=C.UTF-8

# expect CODE NAME ARGS...: runs the game headless (or not at all) and checks its exit code.
expect() {
  local want="$1" name="$2"
  shift 2
  local code=0
  timeout -k 5 30 "$exe" "$@" >"$work/out.log" 2>"$work/err.log" || code=$?
  [ "$code" = "$want" ] || fail "$name: exit $code, not $want"
}

# No display at all: an interactive start ends within a second and says what to do.
start=$(date +%s%N)
expect 1 "no display"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -lt 1000 ] || fail "the start without a display took $elapsed ms"
grep -q 'No display' "$work/err.log" || fail "no word on the missing display"
grep -q 'xvfb-run' "$work/err.log" || fail "the missing display's message does not say what to do"
LANG=ja_JP.UTF-8 expect 1 "no display, Japanese"
grep -q '初期化に失敗しました' "$work/err.log" || fail "a Japanese locale did not get the original text"
LANG=ja_JP.UTF-8 expect 1 "no display, --language en" --language en
grep -q 'No display' "$work/err.log" || fail "--language en did not choose English"
echo "no display: exit 1 in $elapsed ms, English or Japanese as the locale says"
# An automatic run needs no display.
expect 0 "automatic run without a display" --frames 30
[ -s "$work/err.log" ] && fail "a quiet run printed: $(cat "$work/err.log")"
expect 0 "verbose run" --frames 30 -v
grep -q 'DirectDraw Init ErrorCode \[0\]' "$work/err.log" || fail "-v printed no diagnostics"
echo "automatic runs: headless, diagnostics only with -v"

for help in -h -? --help; do
  expect 0 "$help" "$help"
  head -n1 "$work/out.log" | grep -q '^Usage: zizid-ozavav' || fail "$help printed no usage"
done
for bad in -x --x -F --language=fr --scale=wide; do
  expect 2 "$bad" "$bad"
  grep -q -- '--help' "$work/err.log" || fail "$bad: no hint to --help"
done
echo "help: -h, -? and --help; unknown options refused with a hint"

# Nothing can be written below a regular file, whatever the rights of the one who runs this.
touch "$work/file"
nowhere="$work/file/x"
expect 1 "--record to nowhere" --frames 5 --record "$nowhere"
expect 1 "--trace to nowhere" --frames 5 --trace "$nowhere"
expect 1 "--dump-frames to nowhere" --frames 5 --dump-frames "$nowhere"
expect 1 "--audio-dump to nowhere" --frames 5 --audio-dump "$nowhere"
expect 2 "--replay of a missing file" --replay "$work/missing.zzr"
expect 2 "--record with --replay" --record "$work/a.zzr" --replay "$work/b.zzr"
expect 2 "--soundfont of a missing file" --frames 5 --soundfont "$work/missing.sf2"
grep -q 'missing.sf2' "$work/err.log" || fail "the missing SoundFont is not named"
expect 2 "--soundfont of a text file" --frames 5 --soundfont "$0"
grep -q 'not a SoundFont' "$work/err.log" || fail "a text file was not refused as a SoundFont"
echo "exit codes: 1 for what cannot be written, 2 for bad options and inputs"
echo "first start ok"
