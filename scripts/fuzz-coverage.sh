#!/usr/bin/env bash
# Line coverage of each reader from the committed fuzz corpus: builds the fuzz targets with
# clang's source-based coverage in build-fuzz-cov/, runs each once over fuzz/corpus/<kind>/ and
# prints, per target, the lines of its reader's functions that ran, then every line and branch
# that never did. FUZZ_TARGETS picks targets as in fuzz.sh; FUZZ_COVERAGE_MIN (default 90) is the
# percentage below which the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_BUILD_DIR=${FUZZ_COVERAGE_DIR:-build-fuzz-cov}
source scripts/fuzz-common.sh
minimum=${FUZZ_COVERAGE_MIN:-90}
profdata=$(command -v llvm-profdata || true)
cov=$(command -v llvm-cov || true)
if [[ -z $profdata || -z $cov ]]; then
  echo "llvm-profdata and llvm-cov are needed (Debian: the llvm package)"
  exit 2
fi

cmake -S . -B "$fuzz_build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZZ_FUZZ=ON -DZZ_BENCH=OFF -DBUILD_TESTING=OFF \
  "-DCMAKE_CXX_FLAGS=-fprofile-instr-generate -fcoverage-mapping" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fprofile-instr-generate" >/dev/null
mapfile -t all < <(find fuzz -maxdepth 1 -name 'fuzz_*.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
read -r -a targets <<<"${FUZZ_TARGETS:-${all[*]}}"
cmake --build "$fuzz_build_dir" -j "$(nproc)" --target "${targets[@]}"

# The reader of each target: its source file and the functions that read outside data (a
# regular expression over the names). The rest of those files (recording a replay, playing an
# effect, writing the settings file) is not reading and no fuzz input can reach it.
reader() {  # reader TARGET -> "file regex"
  case $1 in
    fuzz_smf) echo "src/music/smf_reader.cpp ." ;;
    fuzz_wave) echo "src/sound/sound_bank.cpp ^(ParseWave|SoundLoad|ReadWaveFormat|FillRecord|FillSoundBuffer)$" ;;
    fuzz_bitmap) echo "src/gfx/sheet.cpp ^(DecodeBitmap|gf_DD_LoadBitmap|LoadBitmapFile|ResizeBitmap|gf_DD_CopyBitmap|NearestPaletteIndex)$" ;;
    fuzz_replay) echo "src/input/replay.cpp ^(DecodeReplay|EncodeReplay|Fail)$" ;;
    fuzz_settings) echo "src/app/settings_file.cpp ^(Trim|Lower|Words|Read(YesNo|Percent|Choice|Keys|Pad|Setting|Line|SettingsText)|Problem|WithoutComment)$" ;;
    fuzz_command_line) echo "src/app/command_line.cpp ^(ParseCommandLine|ParseWhole|Find[A-Za-z]*Option|TakeValue|ReadOption|CheckChoices|SplitArguments)$" ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  kind=${target#fuzz_}
  profiles=$fuzz_build_dir/profiles/$kind
  rm -rf "$profiles"
  mkdir -p "$profiles"
  LLVM_PROFILE_FILE="$profiles/%p.profraw" "$fuzz_build_dir/fuzz/$target" -runs=0 \
    -rss_limit_mb=512 "fuzz/corpus/$kind" >"$profiles/run.log" 2>&1 ||
    { echo "$target failed on its corpus (log: $profiles/run.log)"; status=1; continue; }
  "$profdata" merge -sparse "$profiles"/*.profraw -o "$profiles/all.profdata"
  read -r file names <<<"$(reader "$target")"
  "$cov" export -format=text -instr-profile="$profiles/all.profdata" \
    "$fuzz_build_dir/fuzz/$target" "$file" >"$profiles/export.json"
  "$cov" show -instr-profile="$profiles/all.profdata" "$fuzz_build_dir/fuzz/$target" \
    -show-branches=count -show-line-counts "$file" >"$profiles/show.txt"
  python3 scripts/fuzz-coverage-lines.py "$kind" "$file" "$names" "$minimum" \
    "$profiles/export.json" "$profiles/show.txt" || status=1
done
exit $status
