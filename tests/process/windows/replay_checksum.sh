#!/usr/bin/env bash
# The Windows executable, under Wine without a display or sound card, replays the game recorded on
# the Linux build's scripted machine and ends on the same screen and state checksum; the Windows
# build's scripted machine records the very same game.
source "$(dirname "$0")/common.bash" "$@"
exe="$(realpath "$1")"
linux_scenario="${ZZ_HOST_BUILD:?the Linux build folder}/tests/game_scenario_test"
[ -x "$linux_scenario" ] || fail "no Linux scenario test at $linux_scenario"
mkdir -p "$work/linux" "$work/windows"
(cd "$work/linux" && "$linux_scenario" --gtest_filter='GameScenario.PilotWinsAPass*' \
  >"$work/linux-scenario.log" 2>&1) || fail "the scenario on the Linux build failed"
windows_scenario="$(pwd)/tests/game_scenario_test.exe"
(cd "$work/windows" && "$wine" "$windows_scenario" \
  --gtest_filter='GameScenario.PilotWinsAPass*' >"$work/windows-scenario.log" 2>&1) ||
  fail "the scenario on the Windows build failed"
cmp "$work/linux/game_scenario.zzr" "$work/windows/game_scenario.zzr" ||
  fail "the two scripted machines recorded different games"
# Windows writes that text file with CR LF line ends.
[ "$(cat "$work/linux/game_scenario.expected")" = "$(tr -d '\r' <"$work/windows/game_scenario.expected")" ] ||
  fail "the two scripted machines ended differently"
frames="$(sed -n 1p "$work/linux/game_scenario.expected")"
expected="$(sed -n 2p "$work/linux/game_scenario.expected")"

# The window program's own output keeps the place it was given (here Wine's pipe) rather than
# going to a console of its own.
version="$("$wine" "$exe" --version 2>&1 | tr -d '\r')"
[[ $version == "zizid-ozavav "[0-9]* ]] || fail "--version printed '$version'"

got="$(cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -k 10 540 "$wine" "$exe" \
  --replay linux/game_scenario.zzr --fps 0 --frames "$frames" --checksum 2>"$work/replay.log" |
  tr -d '\r' | grep '^checksum ')" || fail "the replay did not end cleanly: $(tail -n 5 "$work/replay.log")"
[ "$got" = "$expected" ] || fail "Windows replayed '$got', Linux '$expected'"
echo "$frames frames replayed under Wine, $got (as on Linux)"
