#!/usr/bin/env bash
# Runs the browser tests of the web build: the Linux build's scripted machine records the test
# pilot's game, the Linux program replays it for the checksum the page must print too, and
# node's test runner drives headless Chromium through tests/web/page.test.mjs.
# Usage: tests/web/run.sh [LINUX_BUILD [WEB_BUILD]]   (default: build build-web)
set -euo pipefail
cd "$(dirname "$0")/../.."
host=$(realpath "${1:-build}")
web=$(realpath "${2:-build-web}")
[ -f "$web/index.html" ] && [ -f "$web/zizid-ozavav.wasm" ] || { echo "no web build in $web" >&2; exit 1; }
[ -x "$host/tests/game_scenario_test" ] || { echo "no Linux test build in $host" >&2; exit 1; }

# The driver from npm, as the lock file pins it; the browser is the system's.
if [ ! -d tests/web/node_modules/puppeteer-core ] ||
   [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/fixtures"
(cd "$work" && "$host/tests/game_scenario_test" --gtest_filter='GameScenario.PilotWinsAPass*' \
  >scenario.log 2>&1) || { tail -n 20 "$work/scenario.log"; exit 1; }
frames=$(sed -n 1p "$work/game_scenario.expected")
cp "$work/game_scenario.zzr" "$work/fixtures/game.zzr"
checksum=$(cd "$work" && XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -k 10 300 "$host/zizid-ozavav" \
  --replay fixtures/game.zzr --fps 0 --frames "$frames" --checksum 2>"$work/desktop.log" |
  grep '^checksum ') || { tail -n 5 "$work/desktop.log"; exit 1; }
echo "desktop: $frames frames, $checksum"

ZZ_WEB_DIR=$web ZZ_WEB_FIXTURES=$work/fixtures ZZ_WEB_FRAMES=$frames ZZ_WEB_CHECKSUM=$checksum \
  node --test tests/web/page.test.mjs
