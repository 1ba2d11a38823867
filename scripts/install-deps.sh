#!/usr/bin/env bash
# Installs the Debian packages that are missing: with `play` (the default) those that building and
# playing need, with `test` also those of the tests, benchmarks, sanitizers and fuzzers;
# `windows` and `web` add those of the cross builds.
set -euo pipefail

play=(build-essential cmake ninja-build pkg-config ccache libsdl2-dev libfluidsynth-dev zlib1g-dev
      timgm6mb-soundfont)
test=(clang libclang-rt-dev libgtest-dev libgmock-dev libbenchmark-dev fluidsynth xvfb xauth
      x11-utils xdotool xfonts-base sox imagemagick man-db appstream)

# The Windows build and its tests: cross compiler, zlib for it, Wine, dpkg-dev for `apt-get source`.
windows=(mingw-w64 libz-mingw-w64-dev wine64 wine dpkg-dev zip)

# The web build and its browser tests: Emscripten, dpkg-dev for `apt-get source`, Chromium, and
# npm for the page's test driver (Debian's, unless the machine has one already).
web=(emscripten dpkg-dev chromium)
command -v npm >/dev/null || web+=(npm)

case ${1:-play} in
  play) packages=("${play[@]}") ;;
  test) packages=("${play[@]}" "${test[@]}") ;;
  windows) packages=("${play[@]}" "${test[@]}" "${windows[@]}") ;;
  web) packages=("${play[@]}" "${test[@]}" "${web[@]}") ;;
  *)
    echo "usage: $0 [play|test|windows|web]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
