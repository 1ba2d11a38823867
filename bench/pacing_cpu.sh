#!/usr/bin/env bash
# What the game costs the machine on a virtual display with the software renderer and no sound
# card: CPU per second of play (600 frames) beside the floor of its per-frame work, CPU while its
# window is inactive, and the frames per second of an uncapped 120,000-frame replay.
# Usage: bench/pacing_cpu.sh [build folder]   (needs Xvfb, xdotool and the build's benchmarks)
set -euo pipefail
build="$(realpath "${1:-build}")"
exe="$build/zizid-ozavav"

# A private network namespace keeps the one-copy check away from any other copy on the machine.
if [ -z "${ZZ_BENCH_INNER:-}" ] && unshare -n true 2>/dev/null; then
  ZZ_BENCH_INNER=1 exec unshare -n bash "$0" "$@"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=("$!")
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")" SDL_AUDIODRIVER=dummy
cd "$build"  # the songs lie beside the executable

share() { awk -v c="$1" -v w="$2" 'BEGIN { printf "%.1f %% of a core", 100 * c / w }'; }
# CPU seconds (user + system) a process has used so far.
cpu_of() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) / hz }' "/proc/$1/stat"; }

# The floor: one battle frame, one conversion and one presentation, 60 times a second.
micros() {  # benchmark binary, filter: the CPU time of one run in microseconds
  "$build/bench/$1" --benchmark_filter="$2" --benchmark_format=csv --benchmark_time_unit=us \
    2>/dev/null | awk -F, '$1 ~ /^"/ { print $4; exit }'
}
frame="$(micros bench_battle 'BM_BattleFrameMissionNine')"
convert="$(micros bench_sdl_blit 'OursConvert320x240')"
present="$(micros bench_sdl_blit 'PresentSoftware/640/480')"
floor="$(awk -v a="$frame" -v b="$convert" -v c="$present" 'BEGIN { print (a + b + c) * 60 / 1e6 }')"
echo "per frame: battle ${frame} us, conversion ${convert} us, presentation ${present} us"

TIMEFORMAT='%R %U %S'
{ time "$exe" --frames 600 >/dev/null 2>"$work/play.log"; } 2>"$work/time"
read -r wall user sys <"$work/time"
cpu="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
echo "play: 600 frames in $wall s, CPU $cpu s: $(share "$cpu" "$wall"), start-up included (floor $(share "$floor" 1))"

# The same 600 frames once the game has started (the SoundFont loads in the first seconds).
"$exe" --frames 1000 >/dev/null 2>&1 &
game=$!
pids+=("$game")
sleep 4
before="$(cpu_of "$game")"
sleep 10
after="$(cpu_of "$game")"
wait "$game" || true
echo "steady play: $(share "$(awk -v a="$after" -v b="$before" 'BEGIN { print a - b }')" 10) over 10 s"

# Inactive: the window is shown, then the focus goes to the desktop's root window.
"$exe" >"$work/idle.log" 2>&1 &
game=$!
pids+=("$game")
win=""
for _ in $(seq 50); do
  win="$(xdotool search --pid "$game" 2>/dev/null | head -n1 || true)"
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { echo "no game window"; exit 1; }
sleep 2
root="$(xwininfo -root | awk '/Window id:/ { print $4 }')"
xdotool windowfocus "$root"
sleep 1
before="$(cpu_of "$game")"
sleep 10
after="$(cpu_of "$game")"
echo "inactive: $(share "$(awk -v a="$after" -v b="$before" 'BEGIN { print a - b }')" 10) over 10 s"
xdotool windowfocus --sync "$win"
sleep 1
before="$(cpu_of "$game")"
sleep 5
after="$(cpu_of "$game")"
echo "active again: $(share "$(awk -v a="$after" -v b="$before" 'BEGIN { print a - b }')" 5) over 5 s"
kill "$game"

# Uncapped: a made-up game of 120,000 frames (button 1 now and then, then steering).
python3 - "$work/long.zzr" <<'EOF'
import struct, sys
bits = [0x10 if i % 150 < 4 else (0x4 if (i // 90) % 2 == 0 else 0x9) if i > 900 else 0
        for i in range(120000)]
runs = []
for b in bits:
    if runs and runs[-1][0] == b:
        runs[-1][1] += 1
    else:
        runs.append([b, 1])
with open(sys.argv[1], "wb") as f:
    f.write(b"ZZRP" + struct.pack("<4I", 1, 0, len(bits), len(runs)))
    for b, n in runs:
        f.write(struct.pack("<2I", b, n))
EOF
{ time "$exe" --fps 0 --replay "$work/long.zzr" --checksum >"$work/uncapped.out" 2>&1; } 2>"$work/time"
read -r wall user sys <"$work/time"
cpu="$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
echo "uncapped: 120000 frames in $wall s: $(awk -v w="$wall" 'BEGIN { printf "%d", 120000 / w }') frames a second" \
  "($(awk -v c="$cpu" 'BEGIN { printf "%d", 120000 / c }') per CPU second); $(grep checksum "$work/uncapped.out")"
