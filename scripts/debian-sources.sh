# Shared by scripts/build-windows.sh and scripts/build-web.sh (sourced, not run): where the
# libraries built from Debian's source packages are kept, and the apt lines that fetch them.
# Needs $root and $out.

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# Built once for every later build and clone; without a writable home the build tree keeps them.
cache_root=${ZZ_SDL2_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zizid-ozavav}
if ! mkdir -p "$cache_root" 2>/dev/null || [ ! -w "$cache_root" ]; then
  cache_root=$root/$out/cache
fi

# Debian's source packages need a deb-src line beside the binary one.
enable_sources() {
  if apt-get source --print-uris libsdl2 >/dev/null 2>&1; then return; fi
  local list=/etc/apt/sources.list.d/zizid-ozavav-src.sources
  echo "Enabling Debian source packages in $list"
  "${sudo_cmd[@]}" tee "$list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  "${sudo_cmd[@]}" apt-get update -qq
}
