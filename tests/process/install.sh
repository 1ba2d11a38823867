#!/usr/bin/env bash
# Installation into a temporary prefix: the program, its songs, the desktop entry, the icon and
# the manual page land in their places, and the installed game, started from an unrelated folder,
# finds its songs. A second start with the songs taken away shows that the music heard came
# from them.
source "$(dirname "$0")/common.bash" "$@"
build="$(pwd)"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed"

for f in bin/zizid-ozavav share/applications/zizid-ozavav.desktop \
  share/icons/hicolor/48x48/apps/zizid-ozavav.png share/man/man6/zizid-ozavav.6; do
  [ -s "$prefix/$f" ] || fail "$f not installed"
done
for n in 0 1 2 3 4 5 6; do
  cmp -s "$build/MD0${n}t.mid" "$prefix/share/zizid-ozavav/MD0${n}t.mid" || fail "song $n not installed"
done
[ -x "$prefix/bin/zizid-ozavav" ] || fail "the installed program is not executable"

# The icon is a 48x48 PNG; the desktop entry starts the program by name and shows that icon.
head -c 8 "$prefix/share/icons/hicolor/48x48/apps/zizid-ozavav.png" | od -An -tx1 | tr -d ' \n' |
  grep -qx 89504e470d0a1a0a || fail "icon is not a PNG"
size="$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/48x48/apps/zizid-ozavav.png" | tr -s ' ')"
[ "$size" = " 0 0 0 48 0 0 0 48" ] || fail "icon is not 48x48 ($size)"
desktop="$prefix/share/applications/zizid-ozavav.desktop"
grep -qx '\[Desktop Entry\]' "$desktop" && grep -qx 'Exec=zizid-ozavav' "$desktop" &&
  grep -qx 'Icon=zizid-ozavav' "$desktop" && grep -qx 'Type=Application' "$desktop" ||
  fail "desktop entry incomplete"

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
