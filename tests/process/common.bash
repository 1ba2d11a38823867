# Sourced by every process test: a private network namespace, a work folder, a virtual display,
# and everything started cleaned up at the end.
set -euo pipefail

# The single-instance socket is abstract, so it lives in the network namespace: a private one
# keeps each test apart from any other copy running on the machine. Without unshare, run as is.
if [ -z "${ZZ_PROCESS_TEST_INNER:-}" ] && unshare -n true 2>/dev/null; then
  ZZ_PROCESS_TEST_INNER=1 exec unshare -n bash "$0" "$@"
fi

work="$(mktemp -d)"
# The player's own settings and kept hi-score stay out of the tests, and the tests out of them.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
xpid=""
pids=()  # games left running in the background: killed at the end
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}

# start_display WxHxD: a virtual X display for the games of this test, never reset between
# them (a game connecting while it resets would wait for ever).
start_display() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "no virtual display"
  export DISPLAY=":$(head -n1 "$work/display")"
  export SDL_AUDIODRIVER=dummy
}

# wait_for COMMAND...: up to 10 s for the command to print something; prints its first line.
wait_for() {
  for _ in $(seq 100); do
    out="$("$@")"
    [ -n "$out" ] && { echo "$out" | head -n1; return 0; }
    sleep 0.1
  done
  return 1
}
# Named top-level windows "ZIZID-OZAVAV": the game's carries the class as well, a box does not.
game_windows() { xwininfo -root -tree | awk '/"ZIZID-OZAVAV": \("ZIZID-OZAVAV"/ {print $1}'; }
box_windows() { xwininfo -root -tree | awk '/"ZIZID-OZAVAV": \(\)/ {print $1}'; }

# title_levels WAV: "RMS peak" of the dump's last four seconds, the title screen, where only
# its song sounds.
title_levels() {
  [ -s "$1" ] || fail "no dump written ($1)"
  local length
  length="$(soxi -D "$1")"
  awk -v s="$length" 'BEGIN { exit !(s >= 8) }' || fail "dump too short ($1: $length s)"
  sox "$1" -n trim "$(awk -v s="$length" 'BEGIN { print s - 4 }')" stat 2>&1 |
    awk '/RMS +amplitude/ {r = $3} /Maximum amplitude/ {p = $3} END {print r, p}'
}
