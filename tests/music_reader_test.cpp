// The song reader and stream encoder: budgets, merging, dropped events, looping, bad files.
#include <gtest/gtest.h>

#include <cstdio>

#include "music/smf_reader.h"
#include "support/smf_builder.h"

namespace {

constexpr uint32_t NoteWord(uint8_t key, uint8_t velocity = 1, uint8_t channel = 0) {
  return (0x90u | channel) | uint32_t{key} << 8 | uint32_t{velocity} << 16;
}
constexpr uint32_t TempoWord(uint32_t micros) { return micros | MEVT_TEMPO << 24; }

using W = std::vector<uint32_t>;
W Words(const std::vector<MIDIEVENT>& b) {
  W out;
  for (const MIDIEVENT& e : b) out.push_back(e.dwEvent);
  return out;
}
W Deltas(const std::vector<MIDIEVENT>& b) {
  W out;
  for (const MIDIEVENT& e : b) out.push_back(e.dwDeltaTime);
  return out;
}

class SongReader : public testing::Test {
 protected:
  void SetUp() override {
    SongClose();
    SongClock = 0;
    EncoderFlags = 0;
    CurrentTempo = 0;
    dwBufferTickLength = 1000;
    TempoPercent = 100;
    Looping = 0;
  }
  void TearDown() override {
    SongClose();
    std::remove(path_.c_str());
  }
  void Open(uint32_t division, const std::vector<SmfTrack>& tracks) {
    ASSERT_EQ(SongOpen(WriteFile(path_, BuildSmf(division, tracks)).c_str()), 0);
  }
  // Encodes buffer after buffer; stops after `limit` or at the first result other than ENC_OK.
  std::vector<std::vector<MIDIEVENT>> Encode(int32_t limit, int32_t* last = nullptr) {
    std::vector<std::vector<MIDIEVENT>> buffers;
    for (int32_t i = 0; i < limit; ++i) {
      const int32_t r = EncodeBuffer(i == 0 ? 1 : 0, slot_.Fresh());
      if (last != nullptr) *last = r;
      if (r != ENC_OK) break;
      buffers.push_back(SlotEvents(slot_.slot));
    }
    return buffers;
  }

  TestSlot slot_;
  const std::string path_ = ProcessFileName("music_reader_test");
};

TEST_F(SongReader, BufferClosesAtTheSecondEventPastItsBudget) {
  // 60 ms at 480 ticks a quarter of 0.5 s is 57 ticks: the note at 120 opens the next buffer.
  SmfTrack t;
  t.Tempo(0, 500000).Note(0, 0, 60, 1);
  for (uint8_t k = 61; k <= 64; ++k) t.Note(30, 0, k, 1);
  Open(480, {t.End()});
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  EXPECT_EQ(dwBufferTickLength, 480u * 60000 / 500000);
  EXPECT_EQ(Words(buffers[0]),
            (W{TempoWord(500000), NoteWord(60), NoteWord(61), NoteWord(62), NoteWord(63)}));
  EXPECT_EQ(Deltas(buffers[0]), (W{0, 0, 30, 30, 30}));
  EXPECT_EQ(Words(buffers[1]), W{NoteWord(64)});
  EXPECT_EQ(Deltas(buffers[1]), W{30});
}

TEST_F(SongReader, TempoIsScaledByThePercentButTheBudgetIsNot) {
  struct Case {
    int32_t percent;
    uint32_t division, fileTempo, written, budget;
  };
  // Unset or nonsensical speeds play as written; a slow-down stays in 24 bits; an SMPTE division
  // (25 frames of 40 ticks) budgets 60 real milliseconds whatever the tempo.
  for (const Case c : {Case{130, 480, 400001, 400001u * 100 / 130, 480u * 60000 / 400001},
                       Case{0, 480, 500000, 500000, 57}, Case{-5, 480, 500000, 500000, 57},
                       Case{10, 480, 0xFFFFFF, 0xFFFFFF, 480u * 60000 / 0xFFFFFF},
                       Case{100, 0xE728, 250000, 250000, 60}}) {
    SetUp();
    TempoPercent = c.percent;
    Open(c.division, {SmfTrack().Tempo(0, c.fileTempo).Note(0, 0, 60, 1).End()});
    const auto buffers = Encode(1);
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_EQ(buffers[0][0].dwEvent, TempoWord(c.written)) << c.percent;
    EXPECT_EQ(dwBufferTickLength, c.budget) << c.percent;
  }
}

TEST_F(SongReader, TracksMergeByTimeEarlierWinningATie) {
  SmfTrack empty;  // a chunk of length 0
  Open(96, {SmfTrack().Note(5, 0, 10, 1).Note(5, 0, 11, 1).End(), empty,
            SmfTrack().Note(5, 1, 20, 1).Note(3, 1, 21, 1).End()});
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Words(buffers[0]),
            (W{NoteWord(10), NoteWord(20, 1, 1), NoteWord(21, 1, 1), NoteWord(11)}));
  EXPECT_EQ(Deltas(buffers[0]), (W{5, 0, 3, 2}));
}

TEST_F(SongReader, DroppedEventsKeepTheirTicksAndRunningStatusKeepsItsLength) {
  // Text, system-exclusive and unplayable tempo events are not written, but their ticks are kept.
  Open(96, {SmfTrack()
                .Raw(0, {0xC3, 0x05})
                .Raw(1, {0x06})  // program change again: one data byte
                .Raw(100, {0x90, 60, 1})
                .Meta(50, 0x01, {'h', 'i'})  // leaves the running status alone
                .Raw(50, {61, 1})
                .Raw(25, {0xF0, 0x02, 0x7E, 0xF7})
                .Meta(5, 0x51, {0x07, 0xA1})  // a tempo of two bytes
                .Tempo(5, 0)                  // would stop the clock
                .Note(15, 0, 62, 1)
                .End()});
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Words(buffers[0]), (W{0x05C3, 0x06C3, NoteWord(60), NoteWord(61), NoteWord(62)}));
  EXPECT_EQ(Deltas(buffers[0]), (W{0, 1, 100, 100, 50}));
  EXPECT_EQ(dwBufferTickLength, 1000u);
}

TEST_F(SongReader, EventWithoutRoomWaitsForTheNextBufferOnItsOwnTick) {
  SmfTrack t;
  for (int i = 0; i < 100; ++i) t.Note(i < 80 ? 0 : 2, 0, static_cast<uint8_t>(i), 1);
  Open(96, {t.End()});
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  const size_t first = STREAM_BUFFER_BYTES / STREAM_EVENT_BYTES;
  ASSERT_EQ(buffers[0].size(), first);
  ASSERT_EQ(buffers[1].size(), 100u - first);
  EXPECT_EQ(buffers[1][0].dwEvent, NoteWord(static_cast<uint8_t>(first)));
  EXPECT_EQ(buffers[1][0].dwDeltaTime, 2u) << "the held-over note keeps its delta";
}

TEST_F(SongReader, LoopingSkipsTheTailAndAnEmptySongGivesEmptyBuffers) {
  Open(96, {SmfTrack().Note(30, 0, 60, 1).Note(450, 0, 61, 1).End(480)});
  Looping = 1;
  dwBufferTickLength = 100000;
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  EXPECT_EQ(Words(buffers[1]), (W{NoteWord(60), NoteWord(61)})) << "starts again";
  EXPECT_EQ(Deltas(buffers[1]), (W{30, 450})) << "the silence before the end is skipped";

  SetUp();
  Open(96, {SmfTrack().End(10), SmfTrack().End()});
  EXPECT_EQ(EncodeBuffer(1, slot_.Fresh()), ENC_OK);
  EXPECT_EQ(slot_.slot.used, 0u);
  EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_DONE);
  Looping = 1;
  EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_OK);
  EXPECT_EQ(slot_.slot.used, 0u);
}

TEST_F(SongReader, TracksLongerThanTheirWindowAreReadWhole) {
  // Three interleaved tracks of several windows each, with running status across refills.
  std::vector<SmfTrack> tracks(3);
  for (int t = 0; t < 3; ++t) {
    tracks[t].Raw(t, {static_cast<uint8_t>(0x90 | t), 1, 1});
    for (int i = 1; i < 700; ++i) tracks[t].Raw(3, {static_cast<uint8_t>(i % 128), 1});
    tracks[t].End();
    ASSERT_GT(tracks[t].bytes.size(), 2 * TRACK_WINDOW_BYTES);
  }
  Open(96, tracks);
  dwBufferTickLength = 1000000;
  int32_t last = 0;
  uint64_t count = 0, clock = 0;
  for (const auto& b : Encode(100, &last)) {
    for (const MIDIEVENT& e : b) {
      clock += e.dwDeltaTime;
      EXPECT_EQ(e.dwEvent & 0xFF0000, 0x010000u);
      ++count;
    }
  }
  EXPECT_EQ(last, ENC_DONE);
  EXPECT_EQ(count, 3u * 700);
  EXPECT_EQ(clock, 2u + 699u * 3) << "last event of the last track";
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> b, size_t at, uint8_t value) {
  b.at(at) = value;
  return b;
}

TEST_F(SongReader, UnreadableFilesFailToOpenAndLeaveNothingOpen) {
  const auto good = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()});
  const std::pair<const char*, std::vector<uint8_t>> files[] = {
      {"not MThd", WithByte(good, 0, 'X')},
      {"header below 6", WithByte(good, 7, 5)},
      {"another chunk where a track should be", WithByte(good, 14, 'X')},
      {"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
      {"truncated track", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"more tracks than chunks", WithByte(good, 11, 2)},
      {"header longer than the file", WithByte(good, 6, 0x7F)},
      {"empty", {}},
  };
  for (const auto& [what, bytes] : files) {
    EXPECT_EQ(SongOpen(WriteFile(path_, bytes).c_str()), 1) << what;
    EXPECT_EQ(Song.file, nullptr) << what;
    EXPECT_EQ(Song.tracks, nullptr) << what;
  }
  EXPECT_EQ(SongOpen("no_such_song.mid"), 1);
  // A header longer than six bytes is passed over.
  const auto longer = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()}, 1, 10);
  ASSERT_EQ(SongOpen(WriteFile(path_, longer).c_str()), 0);
  EXPECT_EQ(Encode(1).at(0).size(), 1u);
}

TEST_F(SongReader, CorruptEventsReportOnceThenStayStuck) {
  const std::pair<const char*, SmfTrack> cases[] = {
      {"no end-of-track", SmfTrack().Note(0, 0, 60, 1).Note(1, 0, 61, 1)},
      {"running status with none set", SmfTrack().Raw(0, {60, 1}).End()},
      {"undefined status byte", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0xF4}).End()},
      {"note cut short", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0x90, 60})},
      {"meta longer than the track", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0xFF, 0x01, 0x7F, 1})},
  };
  for (const auto& [what, track] : cases) {
    SetUp();
    Open(96, {track});
    int32_t last = 0;
    Encode(10, &last);
    EXPECT_EQ(last, ENC_CORRUPT) << what;
    EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_STUCK) << what;
  }
  SongClose();
  SongClose();
  EXPECT_EQ(EncodeBuffer(1, slot_.Fresh()), ENC_STUCK) << "nothing open";
  EXPECT_EQ(slot_.slot.used, 0u);
}

}  // namespace
