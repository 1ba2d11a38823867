#!/usr/bin/env bash
# The real program under a virtual display: its window (title, 640x480 client area, centred), a
# second start that only raises the first and exits 0, the close question answered No and then
# Yes, and a full-screen copy that Escape ends at once.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
probe="$(dirname "$exe")/tests/cursor_probe"
start_display 1024x768x24

alive() { kill -0 "$1" 2>/dev/null; }
wait_exit() {  # wait_exit PID: up to 15 s; sets code (run here, not in a subshell, to wait)
  code=timeout
  for _ in $(seq 150); do
    if ! alive "$1"; then
      code=0
      wait "$1" || code=$?
      return 0
    fi
    sleep 0.1
  done
}
# The display set-up may make the window anew (for its renderer): look for it once it is done.
started() { grep -q 'DirectDraw Init ErrorCode \[0\]' "$1" && echo yes; }
press() {  # press WINDOW KEY: held a tenth of a second, as a hand does, once focus has settled
  xdotool windowfocus --sync "$1"
  sleep 0.3
  xdotool keydown "$2"
  sleep 0.1
  xdotool keyup "$2"
}

"$exe" -v >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_for started "$work/first.log" >/dev/null || fail "the display did not start"
win="$(wait_for game_windows)" || fail "no window appeared"
info="$(xwininfo -id "$win")"
echo "$info" | grep -q 'Width: 640' || fail "client width is not 640"
echo "$info" | grep -q 'Height: 480' || fail "client height is not 480"
echo "$info" | grep -q 'Absolute upper-left X:  192' || fail "not centred horizontally"
echo "$info" | grep -q 'Absolute upper-left Y:  144' || fail "not centred vertically"
echo "$info" | grep -q 'Map State: IsViewable' || fail "window not shown"
xprop -id "$win" WM_NORMAL_HINTS | grep -q 'minimum size: 320 by 240' ||
  fail "the window does not ask to stay at least 320x240"
echo "window: 640x480 at 192,144, at least 320x240"

timeout -k 5 20 "$exe" >"$work/second.log" 2>&1 && second=0 || second=$?
[ "$second" = 0 ] || fail "second start exited with $second"
alive "$first" || fail "the first copy died when the second started"
[ "$(game_windows | wc -l)" = 1 ] || fail "the second start made a window"
echo "second start: exit 0, first still running"
timeout -k 5 20 "$exe" --checksum >"$work/asked.log" 2>&1 && asked=0 || asked=$?
[ "$asked" = 1 ] || fail "a second start asked for a checksum exited with $asked"
echo "second start asked for output: exit 1"

# ask: Escape in the game's window until the question shows (on a loaded machine without a window
# manager, a key sent while the focus is still settling after the raises above can be missed).
ask() {
  for _ in 1 2 3; do
    press "$win" Escape
    for _ in $(seq 30); do
      box="$(box_windows)"
      [ -n "$box" ] && return 0
      sleep 0.1
    done
  done
  return 1
}

# No window manager runs here: the box must take the keyboard itself, and Return answers No.
ask || fail "Escape asked no question"
for _ in $(seq 50); do [ "$(xdotool getwindowfocus)" = "$((box))" ] && break; sleep 0.1; done
[ "$(xdotool getwindowfocus)" = "$((box))" ] || fail "the question did not take the keyboard"
xdotool key Return  # No, the default
for _ in $(seq 50); do [ -z "$(box_windows)" ] && break; sleep 0.1; done
[ -z "$(box_windows)" ] || fail "Return did not answer the question"
sleep 0.5
alive "$first" || fail "Return (No, the default) ended the program"
echo "close question: takes the keyboard, Return answers No and keeps it running"

ask || fail "the second Escape asked no question"
eval "$(xdotool getwindowgeometry --shell "$box" | sed 's/^/box_/')"
xdotool mousemove $((box_X + box_WIDTH * 27 / 100)) $((box_Y + box_HEIGHT * 3 / 4)) click 1  # Yes
wait_exit "$first"
[ "$code" = 0 ] || fail "first copy ended with $code after Yes"
echo "close question: Yes ends it with 0"

"$exe" -v /F >"$work/full.log" 2>&1 &
full=$!
pids+=("$full")
wait_for started "$work/full.log" >/dev/null || fail "the full-screen display did not start"
win="$(wait_for game_windows)" || fail "no full-screen window appeared"
xdotool windowfocus --sync "$win"
sleep 0.5
[ "$("$probe")" = hidden ] || fail "the pointer shows over the full screen"
xdotool key alt+Return
sleep 0.5
[ "$("$probe")" = shown ] || fail "the pointer stays hidden in the window"
xdotool key alt+Return
sleep 0.5
[ "$("$probe")" = hidden ] || fail "the pointer shows over the full screen again"
echo "full screen: no pointer from the start, a pointer in the window"
press "$win" Escape
wait_exit "$full"
[ "$code" = 0 ] || fail "full screen Escape ended with $code"
[ -z "$(box_windows)" ] || fail "full screen asked a question"
echo "full screen: Escape ends it at once with 0"
# Losing the display ends a copy at once with a failure, rather than crashing or spinning.
"$exe" -v >"$work/lost.log" 2>&1 &
lost=$!
pids+=("$lost")
wait_for started "$work/lost.log" >/dev/null || fail "the last copy did not start"
kill "$xpid"
xpid=""
wait_exit "$lost"
[ "$code" = 1 ] || fail "a lost display ended the game with $code"
grep -q "display connection was lost" "$work/lost.log" || fail "no word on the lost display"
echo "lost display: exit 1 at once"
echo "window and instance ok"
