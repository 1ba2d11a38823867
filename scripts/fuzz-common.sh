# Shared by scripts/fuzz.sh, scripts/fuzz-campaign.sh and scripts/fuzz-coverage.sh (sourced, not
# run): the fuzz build, the target list, the seeds the generator made and each target's options.

fuzz_build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

# The small quarantine keeps a target near 100 MB instead of 400 to 500 and runs it faster: with
# the default 256 MB, freed memory came back as fresh pages to fault in. Each input's memory lives
# for one call, so use after free is still caught.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32:malloc_context_size=10}

# Builds the targets named in FUZZ_TARGETS (default: all) with clang, ASan, UBSan and libFuzzer.
fuzz_build() {
  cmake --preset fuzz -B "$fuzz_build_dir" >/dev/null
  mapfile -t fuzz_all < <(find fuzz -maxdepth 1 -name 'fuzz_*.cpp' -printf '%f\n' |
    sed 's/\.cpp$//' | sort)
  read -r -a fuzz_targets <<<"${FUZZ_TARGETS:-${fuzz_all[*]}}"
  cmake --build "$fuzz_build_dir" -j "$(nproc)" --target "${fuzz_targets[@]}"
}

# The files the generator made that a target reads: copied as seeds beside the committed corpus.
fuzz_generated_seeds() {  # fuzz_generated_seeds TARGET DIR
  local assets=$fuzz_build_dir/assets f
  mkdir -p "$2"
  case $1 in
    fuzz_bitmap) f=("$assets/BMP_00" "$assets/resources/BITMAP/BMP_00") ;;
    fuzz_wave) f=("$assets"/resources/WAVE/*) ;;
    fuzz_smf) f=("$assets"/MD0?t.mid) ;;
    *) f=() ;;
  esac
  for x in "${f[@]}"; do cp "$x" "$2/$(basename "$(dirname "$x")")_$(basename "$x")"; done
}

# Options of one target: its dictionary, and the largest input. Every branch of a reader is met
# within a few of its units (a song's 1 KiB track window, a picture's rows and colour table), so
# inputs are held to a few of those; larger ones only repeat the same work. The generated songs
# and sheet are read cut to that length, which still leaves well-formed starts.
fuzz_options() {  # fuzz_options TARGET -> words on stdout
  local kind=${1#fuzz_}
  [[ -f fuzz/$kind.dict ]] && echo "-dict=fuzz/$kind.dict"
  case $kind in
    smf) echo "-max_len=4096" ;;
    bitmap | wave) echo "-max_len=8192" ;;
  esac
  # No target may grow past 512 MB; a single allocation above it is a finding too.
  echo "-rss_limit_mb=512"
}
