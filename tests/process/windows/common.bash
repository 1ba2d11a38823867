# Sourced by the Windows executable's process tests: the shared set-up of the Linux ones, and
# Wine, quiet.
source "$(dirname "$0")/../common.bash" "$@"
wine="${ZZ_WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
[ -x "$wine" ] || fail "Wine is missing ($wine)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# use_display_prefix: a Wine prefix for this build's display tests alone, its server started
# afresh on this test's display and ended with it. Wine's desktop keeps the display its server
# started with, so a server shared with the unit tests (no display) or with an earlier test (its
# display gone) could open no window.
wineserver_bin="$(dirname "$wine")/wineserver"
[ -x "$wineserver_bin" ] || wineserver_bin=wineserver
use_display_prefix() {
  export WINEPREFIX="$(pwd)/wine-display"
  mkdir -p "$WINEPREFIX"
  WINEPREFIX="$WINEPREFIX" "$wineserver_bin" -k 2>/dev/null || true
  trap 'WINEPREFIX="$WINEPREFIX" "$wineserver_bin" -k 2>/dev/null || true; cleanup' EXIT
}
