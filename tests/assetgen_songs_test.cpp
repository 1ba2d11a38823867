// The generated songs: their scores' length, tempo and parts, and the files played by the game's
// reader through a loop and back, at danger speed.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "music/smf_reader.h"

// The scores are compiled in here, so that the test reads the songs as the generator wrote them.
#include "../tools/assetgen/midi_writer.cpp"
#include "../tools/assetgen/score_notation.cpp"
#include "../tools/assetgen/song_battle1.cpp"
#include "../tools/assetgen/song_battle2.cpp"
#include "../tools/assetgen/song_battle3.cpp"
#include "../tools/assetgen/song_boss.cpp"
#include "../tools/assetgen/song_ending.cpp"
#include "../tools/assetgen/song_prologue.cpp"
#include "../tools/assetgen/song_title.cpp"

namespace {

struct SongCase {
  const char* file;
  const char* score;
  double minSeconds, maxSeconds;  // to the loop point
};

const SongCase kSongs[] = {
    {"MD00t.mid", kTitleScore, 60, 240},   {"MD01t.mid", kPrologueScore, 13, 17},  // its scroll
    {"MD02t.mid", kBattle1Score, 60, 240}, {"MD03t.mid", kBattle2Score, 60, 240},
    {"MD04t.mid", kBattle3Score, 60, 240}, {"MD05t.mid", kBossScore, 45, 240},
    {"MD06t.mid", kEndingScore, 60, 240},
};

void PrintTo(const SongCase& s, std::ostream* os) { *os << s.file; }

class Song : public ::testing::TestWithParam<SongCase> {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ParseScore(GetParam().score, &song_, &error)) << error;
    bar_ = song_.beatsPerBar * 4 * kTicksPerQuarter / song_.beatUnit;
  }
  MidiSong song_;
  uint32_t bar_ = 0;
};

TEST_P(Song, LoopsOnABarAfterLongEnough) {
  ASSERT_FALSE(song_.tempos.empty());
  EXPECT_EQ(song_.tempos[0].tick, 0u);
  EXPECT_EQ(song_.lengthTicks % bar_, 0u);
  double seconds = 0;
  for (size_t i = 0; i < song_.tempos.size() && song_.tempos[i].tick < song_.lengthTicks; ++i) {
    const uint32_t until =
        i + 1 < song_.tempos.size() ? song_.tempos[i + 1].tick : song_.lengthTicks;
    seconds += (until - song_.tempos[i].tick) * (song_.tempos[i].microsPerQuarter / 1e6) / 480;
  }
  EXPECT_GE(seconds, GetParam().minSeconds);
  EXPECT_LE(seconds, GetParam().maxSeconds);
}

struct StreamEvent {
  uint32_t tick, word;
  bool operator==(const StreamEvent&) const = default;
};

// Encodes the file with the game's reader until it has looped twice: the events of each pass,
// ticks counted from the pass's start, and the tick at which the first pass ended.
struct TwoPasses {
  std::vector<StreamEvent> pass[2];
  uint32_t firstEnd = 0;
};

TwoPasses EncodeTwoPasses(const char* file, int32_t percent) {
  TwoPasses out;
  TempoPercent = percent;
  Looping = 1;
  if (SongOpen(file) != 0) {
    ADD_FAILURE() << file << " is missing beside the build or unreadable";
    return out;
  }
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  uint32_t clock = 0, passStart = 0;
  int passes = 0;
  for (int call = 0; call < 100000 && passes < 2; ++call) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    const int32_t result = EncodeBuffer(call == 0 ? 1 : 0, &slot);
    if (result != ENC_OK) {
      ADD_FAILURE() << file << ": encoder result " << result << " at call " << call;
      break;
    }
    for (uint32_t at = 0; at + STREAM_EVENT_BYTES <= slot.used; at += STREAM_EVENT_BYTES) {
      uint32_t record[3];
      std::memcpy(record, buffer.data() + at, sizeof record);
      clock += record[0];
      out.pass[passes].push_back({clock - passStart, record[2]});
    }
    if ((EncoderFlags & SONG_DONE) == 0) continue;
    if (passes++ == 0) out.firstEnd = clock;
    passStart = clock;
  }
  SongClose();
  TempoPercent = 100;
  return out;
}

// Danger speeds the music up from the next tempo event, so each bar must carry one; a loop must
// replay the song exactly and leave no note sounding.
TEST_P(Song, GameReaderLoopsTheFileAtDangerSpeedWithATempoEveryBarAndNoHangingNote) {
  const TwoPasses enc = EncodeTwoPasses(GetParam().file, 130);
  EXPECT_EQ(enc.firstEnd, song_.lengthTicks);
  EXPECT_EQ(enc.pass[0], enc.pass[1]) << "the second pass differs";
  const std::vector<StreamEvent>& events = enc.pass[0];
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().word >> 24, MEVT_TEMPO) << "the song must open with its tempo";
  uint32_t lastTempo = 0;
  std::map<uint32_t, int> sounding;  // channel and key
  std::set<uint32_t> playing;        // channels
  for (const StreamEvent& e : events) {
    if (e.word >> 24 == MEVT_TEMPO) {
      EXPECT_LE(e.tick - lastTempo, bar_);
      lastTempo = e.tick;
      continue;
    }
    const uint32_t status = e.word & 0xF0, key = e.word & 0xFF0F;
    if (status != 0x80 && status != 0x90) continue;
    const bool on = status == 0x90 && (e.word >> 16 & 0x7F) != 0;
    EXPECT_EQ(sounding[key], on ? 0 : 1) << "key " << (key >> 8) << " at " << e.tick;
    sounding[key] += on ? 1 : -1;
    playing.insert(e.word & 0x0F);
  }
  for (const auto& [key, count] : sounding) EXPECT_EQ(count, 0) << "key " << (key >> 8);
  EXPECT_EQ(playing.size(), song_.parts.size()) << "a part is silent or shares a channel";
  for (const MidiTempo& t : song_.tempos) {
    const StreamEvent scaled{t.tick, MEVT_TEMPO << 24 | t.microsPerQuarter * 100 / 130};
    const bool found = std::find(events.begin(), events.end(), scaled) != events.end();
    EXPECT_TRUE(found) << "tempo at tick " << t.tick;
  }
}

INSTANTIATE_TEST_SUITE_P(AllSongs, Song, ::testing::ValuesIn(kSongs),
                         [](const auto& info) { return std::string(info.param.file, 4); });

}  // namespace
