#!/usr/bin/env bash
# A song file removed, replaced, cut short or overwritten by another while it plays: the game plays
# on to its last frame, the music falls silent or goes on, and a song that can no longer be read
# is told when it is asked for again.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
export SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
builddir="$(dirname "$exe")"

# change HOW: plays the attract cycle from a folder of its own (songs found nowhere else) and
# changes every song there while the title's song is open and playing; the game must go on to its
# last frame and end with 0.
change() {
  local game="$work/$1"
  mkdir "$game"
  cp "$exe" "$builddir"/MD0?t.mid "$game/"
  # 600 frames a second: the title's song from frame 400, the prologue's from 1200, the title's
  # again from 2100.
  (cd "$game" && exec ./zizid-ozavav --fps 600 --frames 3000) >"$work/$1.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  for _ in $(seq 300); do
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$game/MD00t.mid" && break
    sleep 0.1
  done
  ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$game/MD00t.mid" || fail "$1: the title's song never played"
  for song in "$game"/MD0?t.mid; do
    case "$1" in
      removed) rm "$song" ;;
      replaced) head -c 40 "$song" >"$song.new" && mv "$song.new" "$song" ;;
      # Another song's bytes under the open file: the reader meets them mid-stream.
      swapped) cat "$builddir/MD0$(( (${song: -6:1} + 3) % 7 ))t.mid" >"$song" ;;
      rewritten) printf 'MThd\0\0\0\6\0\1\0\1\0\140MTrk\0\0\1\0\377' >"$song" ;;
    esac
  done
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "songs $1 while playing: the game still runs a minute later"
  local code=0
  wait "$pid" || code=$?
  [ "$code" = 0 ] || fail "songs $1 while playing: exit $code"
}

change removed
grep -q 'No music: the song MD0.t.mid was found neither' "$work/removed.log" ||
  fail "a removed song was not told: $(cat "$work/removed.log")"
change replaced
grep -q 'No music from MD0.t.mid: not a valid song file' "$work/replaced.log" ||
  fail "a damaged song was not told: $(cat "$work/replaced.log")"
change rewritten
grep -q 'No music from MD0.t.mid: not a valid song file' "$work/rewritten.log" ||
  fail "a rewritten song was not told: $(cat "$work/rewritten.log")"
change swapped
[ -s "$work/swapped.log" ] && fail "songs swapped while playing: $(cat "$work/swapped.log")"
for how in removed replaced rewritten swapped; do
  echo "songs $how while playing: the game played on; told: $(sort -u "$work/$how.log" | head -c 300)"
done
echo "song changes ok"
