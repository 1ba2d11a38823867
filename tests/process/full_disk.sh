#!/usr/bin/env bash
# Everything the game writes on request meets a full disk (/dev/full, or a frame dump's name
# leading there): the game plays on, says once what it could not write, and exits with 1 rather
# than claiming the file was made.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
export SDL_AUDIODRIVER=dummy
unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER LC_ALL LC_MESSAGES
export LANG=C.UTF-8
[ -w /dev/full ] || { echo "no /dev/full here: skipped"; exit 0; }

mkdir "$work/frames"
ln -s /dev/full "$work/frames/frame-000002.png"
# option, value, frames to play, the words of the one line that must be told
cases=(
  "--record|/dev/full|200|cannot write /dev/full: No space left on device"
  "--trace|/dev/full|200|cannot write the trace /dev/full: No space left on device"
  "--audio-dump|/dev/full|200|cannot write /dev/full: No space left on device"
  "--dump-frames|$work/frames|5|frame dumps stopped: .*frame-000002.png: No space left on device"
)
for c in "${cases[@]}"; do
  IFS='|' read -r option value frames told <<<"$c"
  code=0
  timeout -k 5 60 "$exe" --fps 0 --frames "$frames" "$option" "$value" \
    >"$work/out.log" 2>"$work/err.log" || code=$?
  [ "$code" = 1 ] || fail "$option $value: exit $code, not 1"
  grep -q -- "$told" "$work/err.log" || fail "$option: not told: $(cat "$work/err.log")"
  [ "$(wc -l <"$work/err.log")" = 1 ] || fail "$option: more than one line: $(cat "$work/err.log")"
  echo "$option on a full disk: exit 1, $(cat "$work/err.log")"
done
# The dumps stop at the failed one; those before it were written.
[ -s "$work/frames/frame-000001.png" ] || fail "the frame before the full disk was not dumped"
[ -e "$work/frames/frame-000003.png" ] && fail "the dumps went on after the failure"
echo "full disk ok"
