#!/usr/bin/env bash
# The house rules a reader relies on, checked over the sources: the machine's libraries only in the
# machine's files, program-wide variables declared only in headers, includes that point down the
# layers, and a one-line summary at the top of every source file. Prints file:line for each break.
set -uo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root" || exit 2

status=0
broken() {  # broken FILE:LINE WHAT
  echo "$1: $2"
  status=1
}

# The layers from the bottom up; a file may include its own layer and those below it.
rank() {
  case "$1" in
    platform) echo 0 ;;
    core) echo 1 ;;
    gfx | sound | music | input) echo 2 ;;
    battle) echo 3 ;;
    scenes) echo 4 ;;
    app) echo 5 ;;
    *) echo -1 ;;
  esac
}

while IFS= read -r file; do
  layer="${file#src/}"
  layer="${layer%%/*}"
  own=$(rank "$layer")
  while IFS=: read -r line text; do
    case "$text" in
      *'#include <SDL'* | *'#include <fluidsynth'* | *'#include <glib'* | *'#include <X11/'*)
        [[ "$file" == src/platform/sdl/* ]] ||
          broken "$file:$line" "the machine's libraries belong in src/platform/sdl: $text" ;;
      *'#include "'*)
        target="${text#*#include \"}"
        target="${target%%/*}"
        below=$(rank "$target")
        if [ "$below" -gt "$own" ] && [ "$own" -ge 0 ]; then
          broken "$file:$line" "$layer may not include $target (includes point down the layers)"
        fi ;;
      extern\ \"C\"*) ;;
      extern\ *)
        [[ "$file" == *.cpp ]] && broken "$file:$line" "extern belongs in the owning header" ;;
    esac
  done < <(grep -n -E '^[[:space:]]*(#include|extern )' "$file")
done < <(find src -name '*.cpp' -o -name '*.h' | sort)

# Every source file opens with a line that says what it holds.
while IFS= read -r file; do
  first="$(head -n1 "$file")"
  [[ "$first" =~ ^//\ [^[:space:]] ]] || broken "$file:1" "no one-line summary at the top"
done < <(find src tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) | sort)

[ "$status" = 0 ] && echo "house rules kept"
exit "$status"
