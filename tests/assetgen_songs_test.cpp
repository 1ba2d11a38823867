// The generated songs: well-formed files that the game's reader plays through a loop and back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "music/smf_reader.h"

namespace {

struct SmfEvent {
  uint32_t tick = 0;
  uint8_t status = 0;  // 0xFF meta, else channel status
  uint8_t d1 = 0;      // first data byte or meta type
  uint8_t d2 = 0;
  std::vector<uint8_t> meta;
  bool statusRepeated = false;  // written out although running status would have served
};

struct SmfFile {
  uint32_t format = 0;
  uint32_t division = 0;
  uint32_t declaredTracks = 0;
  std::vector<std::vector<SmfEvent>> tracks;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

uint32_t Big(const std::vector<uint8_t>& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | b.at(at + i);
  return v;
}

uint32_t VarLen(const std::vector<uint8_t>& b, size_t& at, size_t end) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && at < end; ++i) {
    const uint8_t c = b[at++];
    v = v << 7 | (c & 0x7F);
    if (c < 0x80) return v;
  }
  ADD_FAILURE() << "bad variable-length number";
  return v;
}

// A reader of our own, independent of the game's, so that the two check each other.
SmfFile ParseSmf(const std::vector<uint8_t>& b) {
  SmfFile s;
  if (b.size() < 14 || Big(b, 0, 4) != 0x4D546864 || Big(b, 4, 4) != 6) {
    ADD_FAILURE() << "no MThd header of length 6";
    return s;
  }
  s.format = Big(b, 8, 2);
  s.declaredTracks = Big(b, 10, 2);
  s.division = Big(b, 12, 2);
  size_t at = 14;
  while (at + 8 <= b.size()) {
    EXPECT_EQ(Big(b, at, 4), 0x4D54726Bu) << "chunk at " << at << " is not MTrk";
    const size_t end = at + 8 + Big(b, at + 4, 4);
    EXPECT_LE(end, b.size());
    at += 8;
    std::vector<SmfEvent> track;
    uint32_t tick = 0;
    uint8_t running = 0;
    while (at < end) {
      SmfEvent e;
      tick += VarLen(b, at, end);
      e.tick = tick;
      uint8_t first = b.at(at);
      if (first >= 0x80) {
        ++at;
        e.statusRepeated = first < 0xF0 && first == running;
      } else {
        first = running;
      }
      e.status = first;
      if (first == 0xFF) {
        e.d1 = b.at(at++);
        const uint32_t n = VarLen(b, at, end);
        e.meta.assign(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
        at += n;
        running = 0;
      } else if (first >= 0x80 && first < 0xF0) {
        e.d1 = b.at(at++);
        if ((first & 0xE0) != 0xC0) e.d2 = b.at(at++);
        running = first;
      } else {
        ADD_FAILURE() << "unexpected status " << int(first);
        return s;
      }
      track.push_back(e);
    }
    at = end;
    s.tracks.push_back(track);
  }
  return s;
}

bool IsTempo(const SmfEvent& e) { return e.status == 0xFF && e.d1 == 0x51; }
bool IsEnd(const SmfEvent& e) { return e.status == 0xFF && e.d1 == 0x2F; }
bool IsNoteOn(const SmfEvent& e) { return (e.status & 0xF0) == 0x90 && e.d2 > 0; }
bool IsNoteOff(const SmfEvent& e) {
  return (e.status & 0xF0) == 0x80 || ((e.status & 0xF0) == 0x90 && e.d2 == 0);
}
uint32_t TempoOf(const SmfEvent& e) { return Big(e.meta, 0, 3); }

struct SongExpectation {
  const char* file;
  double minSeconds;
  double maxSeconds;
  bool drums;
  double minBpm;
  double maxBpm;
};

const SongExpectation kSongs[] = {
    {"MD00t.mid", 60, 240, true, 40, 240},   // title
    {"MD01t.mid", 13, 17, false, 40, 240},   // prologue: about its 900-frame scroll
    {"MD02t.mid", 60, 240, true, 130, 160},  // battles drive along
    {"MD03t.mid", 60, 240, true, 130, 160}, {"MD04t.mid", 60, 240, true, 130, 160},
    {"MD05t.mid", 45, 240, true, 40, 240},  // boss
    {"MD06t.mid", 60, 240, true, 40, 240},  // ending
};

void PrintTo(const SongExpectation& s, std::ostream* os) { *os << s.file; }

class Song : public ::testing::TestWithParam<SongExpectation> {
 protected:
  void SetUp() override {
    bytes_ = ReadBytes(GetParam().file);
    ASSERT_FALSE(bytes_.empty()) << GetParam().file << " is missing beside the build";
    smf_ = ParseSmf(bytes_);
    ASSERT_GE(smf_.tracks.size(), 2u);
    for (const auto& track : smf_.tracks) {
      for (const SmfEvent& e : track) {
        if (!IsEnd(e)) loopTick_ = std::max(loopTick_, e.tick);
      }
    }
  }

  // Seconds from the start to the loop point, through the tempo map.
  double LoopSeconds() const {
    double seconds = 0;
    uint32_t tick = 0;
    uint32_t tempo = 500000;
    for (const SmfEvent& e : smf_.tracks[0]) {
      if (!IsTempo(e) || e.tick > loopTick_) continue;
      seconds += double(e.tick - tick) * tempo / 1e6 / smf_.division;
      tick = e.tick;
      tempo = TempoOf(e);
    }
    return seconds + double(loopTick_ - tick) * tempo / 1e6 / smf_.division;
  }

  uint32_t BarTicks() const {
    for (const SmfEvent& e : smf_.tracks[0]) {
      if (e.status == 0xFF && e.d1 == 0x58) {
        return smf_.division * 4 * e.meta.at(0) >> e.meta.at(1);
      }
    }
    return smf_.division * 4;
  }

  std::vector<uint8_t> bytes_;
  SmfFile smf_;
  uint32_t loopTick_ = 0;
};

TEST_P(Song, IsFormatOneWithRunningStatusAndEveryTrackClosedByItsEnd) {
  EXPECT_EQ(smf_.format, 1u);
  EXPECT_EQ(smf_.division, 480u);
  EXPECT_EQ(smf_.declaredTracks, smf_.tracks.size());
  for (size_t t = 0; t < smf_.tracks.size(); ++t) {
    const auto& track = smf_.tracks[t];
    ASSERT_FALSE(track.empty());
    EXPECT_TRUE(IsEnd(track.back())) << "track " << t;
    // The loop starts again at the last event; an end of track later than that would be cut.
    EXPECT_EQ(track.back().tick, loopTick_) << "track " << t;
    for (size_t i = 0; i < track.size(); ++i) {
      EXPECT_FALSE(IsEnd(track[i]) && i + 1 < track.size()) << "track " << t;
      EXPECT_FALSE(track[i].statusRepeated) << "track " << t << " at tick " << track[i].tick;
    }
  }
}

TEST_P(Song, TempoTrackHoldsNoNotesAndLoopsOnABarAfterLongEnough) {
  const auto& conductor = smf_.tracks[0];
  bool tempoAtZero = false;
  for (const SmfEvent& e : conductor) {
    EXPECT_EQ(e.status, 0xFF) << "channel message in the tempo track";
    if (IsTempo(e) && e.tick == 0) tempoAtZero = true;
    if (IsTempo(e)) {
      const double bpm = 60e6 / TempoOf(e);
      EXPECT_GE(bpm, GetParam().minBpm);
      EXPECT_LE(bpm, GetParam().maxBpm);
    }
  }
  EXPECT_TRUE(tempoAtZero);
  EXPECT_EQ(loopTick_ % BarTicks(), 0u);
  EXPECT_GE(LoopSeconds(), GetParam().minSeconds);
  EXPECT_LE(LoopSeconds(), GetParam().maxSeconds);
}

TEST_P(Song, EachPartIsSetUpOnItsOwnChannelBeforeItPlays) {
  std::set<int> channels;
  bool drums = false;
  for (size_t t = 1; t < smf_.tracks.size(); ++t) {
    std::set<int> used;
    std::set<int> controllers;
    bool program = false;
    bool notes = false;
    for (const SmfEvent& e : smf_.tracks[t]) {
      if (e.status == 0xFF) continue;
      used.insert(e.status & 0x0F);
      if ((e.status & 0xF0) == 0xC0) program = true;
      if ((e.status & 0xF0) == 0xB0 && !notes) controllers.insert(e.d1);
      if (IsNoteOn(e) && !notes) {
        notes = true;
        EXPECT_TRUE(controllers.count(7) && controllers.count(10)) << "track " << t;
        EXPECT_TRUE(program || (e.status & 0x0F) == 9) << "track " << t << " has no program";
      }
    }
    ASSERT_EQ(used.size(), 1u) << "track " << t << " spans channels";
    EXPECT_TRUE(notes) << "track " << t << " is silent";
    EXPECT_TRUE(channels.insert(*used.begin()).second) << "two tracks share a channel";
    drums = drums || *used.begin() == 9;
  }
  EXPECT_EQ(drums, GetParam().drums);
}

TEST_P(Song, NoNoteSoundsAtTheEndOfItsTrack) {
  for (size_t t = 1; t < smf_.tracks.size(); ++t) {
    std::map<int, int> sounding;
    for (const SmfEvent& e : smf_.tracks[t]) {
      const int key = (e.status & 0x0F) << 8 | e.d1;
      if (IsNoteOn(e)) {
        EXPECT_EQ(sounding[key]++, 0) << "key " << int(e.d1) << " struck again at " << e.tick;
      } else if (IsNoteOff(e)) {
        EXPECT_EQ(sounding[key]--, 1) << "key " << int(e.d1) << " released unplayed";
      }
    }
    for (const auto& [key, count] : sounding) EXPECT_EQ(count, 0) << "key " << (key & 0xFF);
  }
}

// Encodes with the game's reader until it has looped twice; returns the stream's events as
// (running tick, event word) and the ticks at which each pass ended.
struct Encoded {
  std::vector<std::pair<uint32_t, uint32_t>> events;
  std::vector<uint32_t> passEnds;
};

Encoded EncodeTwoPasses(const char* file, int32_t percent) {
  Encoded out;
  TempoPercent = percent;
  Looping = 1;
  if (SongOpen(file) != 0) {
    ADD_FAILURE() << "the game's reader cannot open " << file;
    return out;
  }
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  slot.header.dwBufferLength = STREAM_BUFFER_BYTES;
  uint32_t clock = 0;
  for (int call = 0; call < 100000 && out.passEnds.size() < 2; ++call) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    slot.startTick = 0;
    slot.timeUp = 0;
    const int32_t result = EncodeBuffer(call == 0 ? 1 : 0, &slot);
    if (result != ENC_OK) {
      ADD_FAILURE() << file << ": encoder result " << result << " at call " << call;
      break;
    }
    for (uint32_t at = 0; at + STREAM_EVENT_BYTES <= slot.used; at += STREAM_EVENT_BYTES) {
      uint32_t record[3];
      std::memcpy(record, buffer.data() + at, sizeof record);
      clock += record[0];
      out.events.push_back({clock, record[2]});
    }
    if (EncoderFlags & SONG_DONE) out.passEnds.push_back(clock);
  }
  SongClose();
  TempoPercent = 100;
  return out;
}

TEST_P(Song, GameReaderPlaysItThroughALoopAndBack) {
  const Encoded enc = EncodeTwoPasses(GetParam().file, 100);
  ASSERT_EQ(enc.passEnds.size(), 2u);
  EXPECT_EQ(enc.passEnds[0], loopTick_);
  EXPECT_EQ(enc.passEnds[1], 2 * loopTick_) << "the second pass differs in length";
  size_t channelEvents = 0;
  for (size_t t = 1; t < smf_.tracks.size(); ++t) {
    for (const SmfEvent& e : smf_.tracks[t]) channelEvents += e.status < 0xF0;
  }
  size_t encodedChannel = 0;
  for (const auto& [tick, word] : enc.events) encodedChannel += (word >> 24) == MEVT_SHORTMSG;
  EXPECT_EQ(encodedChannel, 2 * channelEvents);
  ASSERT_FALSE(enc.events.empty());
  EXPECT_EQ(enc.events.front().second >> 24, MEVT_TEMPO) << "the song must open with its tempo";
  for (const SmfEvent& e : smf_.tracks[0]) {
    if (IsTempo(e)) {
      EXPECT_EQ(enc.events.front().second & 0xFFFFFF, TempoOf(e));
      break;
    }
  }
}

// Danger speeds the music up from the next tempo event: each bar carries one.
TEST_P(Song, DangerTempoIsHeardWithinABar) {
  const Encoded enc = EncodeTwoPasses(GetParam().file, 130);
  uint32_t last = 0;
  for (const auto& [tick, word] : enc.events) {
    if ((word >> 24) != MEVT_TEMPO) continue;
    EXPECT_LE(tick - last, BarTicks());
    last = tick;
  }
  for (const SmfEvent& e : smf_.tracks[0]) {
    if (!IsTempo(e)) continue;
    const uint32_t expected = TempoOf(e) * 100 / 130;
    bool found = false;
    for (const auto& [tick, word] : enc.events) {
      found = found || (tick == e.tick && (word & 0xFFFFFF) == expected);
    }
    EXPECT_TRUE(found) << "tempo at tick " << e.tick;
  }
}

INSTANTIATE_TEST_SUITE_P(AllSongs, Song, ::testing::ValuesIn(kSongs),
                         [](const auto& info) { return std::string(info.param.file, 4); });

TEST(SongGenerator, WritesTheSameBytesOnEveryRun) {
  const auto base =
      std::filesystem::temp_directory_path() /
      ("songs_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  const auto runA = base / "a", runB = base / "b";
  for (const auto& run : {runA, runB}) {
    std::filesystem::create_directories(run);
    ASSERT_EQ(std::system(("./tools/assetgen " + run.string() + " >/dev/null").c_str()), 0);
  }
  for (const SongExpectation& s : kSongs) {
    const auto a = ReadBytes(runA / s.file);
    EXPECT_FALSE(a.empty()) << s.file;
    EXPECT_EQ(a, ReadBytes(runB / s.file)) << s.file;
    EXPECT_EQ(a, ReadBytes(s.file)) << s.file << " beside the build differs from a fresh run";
  }
  std::filesystem::remove_all(base);
}

}  // namespace
