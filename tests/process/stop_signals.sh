#!/usr/bin/env bash
# SIGINT, SIGTERM and SIGHUP at any moment (before the first frame, on the way, in a window
# standing still, while the close question is open) close the game: exit 0, no hang, and the
# recording and trace made so far are whole: the recording replays into the very same trace.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
start_display 800x600x24

started() { grep -q 'DirectDraw Init ErrorCode \[0\]' "$work/game.log" && echo yes; }

# stopped SIGNAL WHEN ARGS...: starts a recorded, traced game and sends SIGNAL as soon as the
# recording exists (WHEN = made), while Escape's close question waits for an answer (WHEN =
# asking) or WHEN seconds after the recording was made; the game must be gone within 20 s.
stopped() {
  local signal="$1" when="$2"
  shift 2
  rm -f "$work/game.zzr" "$work/played.jsonl"
  # A background job of a script starts with SIGINT ignored, and the game keeps it so.
  env --default-signal "$exe" --record "$work/game.zzr" --trace "$work/played.jsonl" "$@" \
    >"$work/game.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  # The recording is made once the game catches the signals: before, one ends it as it would
  # any program, with nothing written yet.
  for _ in $(seq 3000); do [ -e "$work/game.zzr" ] && break; sleep 0.01; done
  [ -e "$work/game.zzr" ] || fail "SIG$signal at $when: no recording was made"
  if [ "$when" = made ]; then
    :
  elif [ "$when" = asking ]; then
    wait_for started >/dev/null || fail "the display did not start"
    local win
    win="$(wait_for game_windows)" || fail "no window appeared"
    xdotool windowfocus --sync "$win"
    sleep 0.3
    xdotool keydown Escape
    sleep 0.1
    xdotool keyup Escape
    wait_for box_windows >/dev/null || fail "Escape asked no question"
  else
    sleep "$when"
  fi
  kill -"$signal" "$pid" 2>/dev/null || fail "SIG$signal at $when: the game had already ended"
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "SIG$signal at $when: still running 20 s later"
  local code=0
  wait "$pid" || code=$?
  [ "$code" = 0 ] || fail "SIG$signal at $when: exit $code"
}

# The recording holds one word per frame after the first and replays into the same trace.
same_game() {
  local frames recorded
  frames="$(wc -l <"$work/played.jsonl")"
  recorded="$(od -An -tu4 -j12 -N4 "$work/game.zzr" | tr -d ' ')"
  [ "$recorded" = "$(( frames > 0 ? frames - 1 : 0 ))" ] ||
    fail "$1: $frames frames traced but $recorded recorded"
  [ "$frames" -gt 0 ] || return 0
  "$exe" --fps 0 --replay "$work/game.zzr" --frames "$frames" --trace "$work/replayed.jsonl" \
    >"$work/replay.log" 2>&1 || fail "$1: the recording does not replay"
  cmp -s "$work/played.jsonl" "$work/replayed.jsonl" || fail "$1: the replay went another way"
  echo "$1: $frames frames, recording whole"
}

for signal in INT TERM HUP; do
  # Headless, paced at 60 frames a second: the signal meets the start, the logo, the title.
  for when in made 0.4 2; do
    stopped "$signal" "$when" --frames 100000
    same_game "SIG$signal at $when"
  done
done
# A player's game in its window, standing still without the focus or playing with it.
stopped HUP 2
same_game "SIGHUP in the window"
stopped TERM asking -v
same_game "SIGTERM while the close question waits"
echo "stop signals ok"
