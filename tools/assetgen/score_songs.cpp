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
const SongFile kSongs[] = {
    {"MD00t.mid", kTitleScore},   {"MD01t.mid", kPrologueScore}, {"MD02t.mid", kBattle1Score},
    {"MD03t.mid", kBattle2Score}, {"MD04t.mid", kBattle3Score},  {"MD05t.mid", kBossScore},
    {"MD06t.mid", kEndingScore},
};

bool WriteSongs(const std::filesystem::path& outDir) {
  for (const SongFile& song : kSongs) {
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

}  // namespace

static AssetWriterRegistration reg("songs", WriteSongs);
