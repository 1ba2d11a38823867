// Writes the seven songs from their scores as MD00t.mid to MD06t.mid.
#include "score_songs.h"

#include <cstdio>

#include "assetgen.h"
#include "midi_writer.h"
#include "score_notation.h"

namespace {

struct SongFile {
  const char* file;
  const char* score;
};

// Indexed by the game's track numbers.
const SongFile SONGS[] = {
    {"MD00t.mid", TITLE_SCORE},   {"MD01t.mid", PROLOGUE_SCORE}, {"MD02t.mid", BATTLE1_SCORE},
    {"MD03t.mid", BATTLE2_SCORE}, {"MD04t.mid", BATTLE3_SCORE},  {"MD05t.mid", BOSS_SCORE},
    {"MD06t.mid", ENDING_SCORE},
};

}  // namespace

bool WriteSongs(const std::filesystem::path& outDir) {
  for (const SongFile& song : SONGS) {
    MidiSong midi;
    std::string error;
    if (!ParseScore(song.score, &midi, &error)) {
      std::fprintf(stderr, "assetgen: %s: %s\n", song.file, error.c_str());
      return false;
    }
    if (!WriteFileBytes(outDir / song.file, EncodeMidiSong(midi))) return false;
  }
  return true;
}
