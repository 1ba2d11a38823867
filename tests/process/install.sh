#!/usr/bin/env bash
# Installation into a temporary prefix: the program, its songs, the desktop entry, the icons, the
# metainfo and the manual page land in their places, and the installed game, started from an
# unrelated folder, finds its songs. A second start with the songs taken away shows that the
# music heard came from them.
source "$(dirname "$0")/common.bash" "$@"
build="$(pwd)"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"

metainfo=share/metainfo/net.zizid_ozavav.zizid_ozavav.metainfo.xml
for f in bin/zizid-ozavav share/applications/zizid-ozavav.desktop "$metainfo" \
  share/man/man6/zizid-ozavav.6; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
for n in 0 1 2 3 4 5 6; do
  cmp -s "$build/MD0${n}t.mid" "$prefix/share/zizid-ozavav/MD0${n}t.mid" || fail "song $n not installed"
done
[ -x "$prefix/bin/zizid-ozavav" ] || fail "the installed program is not executable"

# An icon in each size of the theme, each a PNG of that size with an alpha channel (the header's
# width, height, bit depth and colour type 6); the desktop entry starts the program by name and
# shows that icon.
for n in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${n}x${n}/apps/zizid-ozavav.png"
  [ -s "$icon" ] || fail "no ${n}x${n} icon"
  head -c 16 "$icon" | od -An -tx1 | tr -d ' \n' |
    grep -qx 89504e470d0a1a0a0000000d49484452 || fail "the ${n}x${n} icon is not a PNG"
  header="$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ') $(od -An -tu1 -j24 -N2 "$icon" | tr -s ' ')"
  [ "$header" = " $n $n  8 6" ] || fail "the ${n}x${n} icon is not ${n}x${n} RGBA ($header)"
done
desktop="$prefix/share/applications/zizid-ozavav.desktop"
grep -qx '\[Desktop Entry\]' "$desktop" && grep -qx 'Exec=zizid-ozavav' "$desktop" &&
  grep -qx 'Icon=zizid-ozavav' "$desktop" && grep -qx 'Type=Application' "$desktop" ||
  fail "desktop entry incomplete"

# The metainfo passes the validator without a warning, and so does the installed tree, where the
# desktop entry it names must be found (the tree is read as a root holding usr/).
command -v appstreamcli >/dev/null || fail "appstreamcli not installed (package appstream)"
appstreamcli validate --no-net "$prefix/$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli rejects the metainfo"
mkdir -p "$work/root" && ln -s "$prefix" "$work/root/usr"
appstreamcli validate-tree --no-net "$work/root" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli rejects the installed tree"
rm "$work/appstream.log"

if command -v man >/dev/null; then
  page="$(MANWIDTH=80 man -l "$prefix/share/man/man6/zizid-ozavav.6" 2>"$work/man.log")" ||
    fail "man cannot render the page"
  [ -s "$work/man.log" ] && fail "man warns about the page"
  for word in --music-volume --soundfont /F SDL_AUDIODRIVER MD00t.mid; do
    grep -qF -- "$word" <<<"$page" || fail "man page lacks $word"
  done
else
  echo "man not installed: page rendering not checked"
fi

start_display 800x600x24

# run NAME: the installed game from an empty folder, through the logo into the title, where
# nothing but the title song sounds. Prints the RMS level of the dump's last four seconds.
run() {
  mkdir -p "$work/cwd-$1"
  (cd "$work/cwd-$1" && timeout -k 10 120 "$prefix/bin/zizid-ozavav" --frames 900 --fps 60 \
    --soundfont /usr/share/sounds/sf2/TimGM6mb.sf2 --audio-dump "$work/$1.wav") \
    >"$work/$1.log" 2>&1 || fail "the installed game failed ($1)"
  title_levels "$work/$1.wav" | cut -d' ' -f1
}

with_songs="$(run installed)"
echo "title RMS with the installed songs: $with_songs"
awk -v r="$with_songs" 'BEGIN { exit !(r >= 0.005) }' || fail "no music heard on the title"

mv "$prefix/share/zizid-ozavav" "$work/songs-away"
without="$(run nosongs)"
echo "title RMS with the songs taken away: $without"
awk -v r="$without" 'BEGIN { exit !(r < 0.001) }' || fail "music heard without the songs"
echo "install ok"
