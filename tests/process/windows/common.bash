# Sourced by the Windows executable's process tests: the shared set-up of the Linux ones, and
# Wine, quiet.
source "$(dirname "$0")/../common.bash" "$@"
wine="${ZZ_WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
[ -x "$wine" ] || fail "Wine is missing ($wine)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
