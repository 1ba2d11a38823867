#!/usr/bin/env bash
# The test pilot's game, played on the scripted machine and recorded there, is replayed through
# the real program without a display or sound card: the final screen and state must agree.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
scenario="$(pwd)/tests/game_scenario_test"
[ -x "$scenario" ] || fail "no scenario test at $scenario"

(cd "$work" && "$scenario" --gtest_filter='GameScenario.PilotWinsAPass*' >scenario.log 2>&1) ||
  fail "the scenario on the scripted machine failed: $(tail -n 20 "$work/scenario.log")"
frames="$(sed -n 1p "$work/game_scenario.expected")"
expected="$(sed -n 2p "$work/game_scenario.expected")"

command -v xvfb-run >/dev/null || fail "xvfb-run is missing"
got="$(SDL_AUDIODRIVER=dummy timeout -k 10 540 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  "$exe" --replay "$work/game_scenario.zzr" --fps 0 --frames "$frames" --checksum \
  --dump-frames "$work/shots" --dump-every 5000 \
  2>"$work/replay.log" | grep '^checksum ')" ||
  fail "the replay did not end cleanly: $(tail -n 5 "$work/replay.log")"
[ "$got" = "$expected" ] || fail "the replay gave '$got', the scripted machine '$expected'"
# Screen dumps on the way, named by frame number, each a PNG of the 320x240 screen.
[ "$(ls "$work/shots" | wc -l)" -eq $((frames / 5000)) ] || fail "dumps: $(ls "$work/shots")"
shot="$work/shots/frame-005000.png"
[ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "not a PNG"
[ "$(od -An -tu1 -j16 -N8 "$shot" | tr -s ' ')" = " 0 0 1 64 0 0 0 240" ] || fail "not 320x240"
echo "$frames frames replayed, $got"
