// The generated songs, as the game's reader streams them at danger speed through a loop and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "music/smf_reader.h"

namespace {

struct SongCase {
  const char* file;
  double minSeconds, maxSeconds;  // to the loop point
};

const SongCase SONGS[] = {
    {"MD00t.mid", 60, 240}, {"MD01t.mid", 13, 17},  // the prologue lasts as long as its scroll
    {"MD02t.mid", 60, 240}, {"MD03t.mid", 60, 240}, {"MD04t.mid", 60, 240},
    {"MD05t.mid", 45, 240}, {"MD06t.mid", 60, 240},
};

constexpr uint32_t BAR = 4 * 480;  // every song is in 4/4 at 480 ticks a quarter

void PrintTo(const SongCase& s, std::ostream* os) { *os << s.file; }

class Song : public ::testing::TestWithParam<SongCase> {};

struct StreamEvent {
  uint32_t tick, word;
  bool operator==(const StreamEvent&) const = default;
};

// The file as the game's reader streams it at danger speed until it has looped twice: the events
// of each pass, ticks counted from the pass's start.
struct TwoPasses {
  std::vector<StreamEvent> pass[2];
};

constexpr int32_t DANGER_PERCENT = 130;

TwoPasses EncodeTwoPasses(const char* file) {
  TwoPasses out;
  TempoPercent = DANGER_PERCENT;
  Looping = 1;
  EXPECT_EQ(SongOpen(file), 0) << file << " is missing beside the build or unreadable";
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  uint32_t clock = 0, passStart = 0;
  for (int call = 0, passes = 0; call < 100000 && passes < 2; ++call) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    if (EncodeBuffer(call == 0 ? 1 : 0, &slot) != ENC_OK) break;  // shows as a missing pass
    for (uint32_t at = 0; at + STREAM_EVENT_BYTES <= slot.used; at += STREAM_EVENT_BYTES) {
      uint32_t record[3];
      std::memcpy(record, buffer.data() + at, sizeof record);
      clock += record[0];
      out.pass[passes].push_back({clock - passStart, record[2]});
    }
    if ((EncoderFlags & SONG_DONE) != 0) {
      passStart = clock;
      ++passes;
    }
  }
  SongClose();
  TempoPercent = 100;
  return out;
}

// Danger speeds the music up from the next tempo event, so each bar must carry one. A loop must
// come on a bar line and replay the song exactly; each part must be set up once on a channel of
// its own, play, and leave no note sounding.
TEST_P(Song, LoopsOnABarAfterLongEnoughAndPlaysInTheGameReaderAtDangerSpeed) {
  const TwoPasses enc = EncodeTwoPasses(GetParam().file);
  EXPECT_EQ(enc.pass[0], enc.pass[1]) << "the second pass differs";
  const std::vector<StreamEvent>& events = enc.pass[0];
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().tick % BAR, 0u) << "the loop point";
  EXPECT_EQ(events.front().word >> 24, MEVT_TEMPO) << "the song must open with its tempo";
  uint32_t lastTempo = 0, tempo = 0, tick = 0;
  double micros = 0;                 // at danger speed
  std::map<uint32_t, int> sounding;  // channel and key
  std::map<uint32_t, int> setUp;     // channel: volume settings
  std::set<uint32_t> playing;        // channels
  for (const StreamEvent& e : events) {
    micros += double(e.tick - tick) * tempo / 480;
    tick = e.tick;
    if (e.word >> 24 == MEVT_TEMPO) {
      EXPECT_LE(e.tick - lastTempo, BAR);
      lastTempo = e.tick;
      tempo = e.word & 0xFFFFFF;
      continue;
    }
    const uint32_t status = e.word & 0xF0, channel = e.word & 0x0F, key = e.word & 0xFF0F;
    if (status == 0xB0 && (e.word >> 8 & 0x7F) == 7) ++setUp[channel];
    if (status != 0x80 && status != 0x90) continue;
    const bool on = status == 0x90 && (e.word >> 16 & 0x7F) != 0;
    EXPECT_EQ(sounding[key], on ? 0 : 1) << "key " << (key >> 8) << " at " << e.tick;
    sounding[key] += on ? 1 : -1;
    playing.insert(channel);
  }
  EXPECT_EQ(playing.size(), setUp.size()) << "a part plays without being set up";
  for (const auto& [key, count] : sounding) EXPECT_EQ(count, 0) << "key " << (key >> 8);
  for (const auto& [channel, count] : setUp) {
    EXPECT_EQ(count, 1) << "parts share channel " << channel;
    EXPECT_EQ(playing.count(channel), 1u) << "the part on channel " << channel << " is silent";
  }
  const double seconds = micros / 1e6 * DANGER_PERCENT / 100;
  EXPECT_GE(seconds, GetParam().minSeconds);
  EXPECT_LE(seconds, GetParam().maxSeconds);
}

// What a listener notices of a typed score: a part of many notes at a handful of velocities, and
// a song that loops by repeating itself bar for bar. The notes and controllers of every bar,
// placed within the bar, are compared with all the bars before.
TEST_P(Song, IsPlayedWithDynamicsAndRepeatsLittle) {
  const std::vector<StreamEvent> events = EncodeTwoPasses(GetParam().file).pass[0];
  ASSERT_FALSE(events.empty());
  const uint32_t bars = events.back().tick / BAR;
  std::map<uint32_t, std::set<uint32_t>> velocities;  // channel: velocities
  std::map<uint32_t, int> notes;                      // channel: count
  std::vector<std::vector<std::pair<uint32_t, uint32_t>>> barContent(bars + 1);
  for (const StreamEvent& e : events) {
    if (e.word >> 24 != 0) continue;  // tempo and other stream events
    const uint32_t status = e.word & 0xF0, velocity = e.word >> 16 & 0x7F;
    if (status == 0x90 && velocity != 0) {
      velocities[e.word & 0x0F].insert(velocity);
      ++notes[e.word & 0x0F];
    }
    barContent[e.tick / BAR].push_back({e.tick % BAR, e.word});
  }
  for (const auto& [channel, count] : notes) {
    if (count >= 50) {
      EXPECT_GE(velocities[channel].size(), 8u)
          << "channel " << channel + 1 << ", " << count << " notes";
    }
  }
  std::set<std::vector<std::pair<uint32_t, uint32_t>>> seen;
  uint32_t copies = 0;
  for (uint32_t bar = 0; bar < bars; ++bar) {
    std::sort(barContent[bar].begin(), barContent[bar].end());
    copies += seen.insert(barContent[bar]).second ? 0 : 1;
  }
  EXPECT_LE(copies * 100, bars * 15) << copies << " of " << bars << " bars repeat an earlier one";
}

INSTANTIATE_TEST_SUITE_P(AllSongs, Song, ::testing::ValuesIn(SONGS),
                         [](const auto& info) { return std::string(info.param.file, 4); });

}  // namespace
