#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test, when any is missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
          libsdl2-dev libfluidsynth-dev fluidsynth timgm6mb-soundfont libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth x11-utils xdotool sox imagemagick man-db)
# The Windows build: cross compiler, Wine for its tests, dpkg-dev for `apt-get source`, zip.
windows_packages=(mingw-w64 wine64 wine dpkg-dev zip)
packages+=("${windows_packages[@]}")

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
