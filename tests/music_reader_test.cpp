// The song reader and stream encoder: budgets, merging, dropped events, looping, bad files.
#include <gtest/gtest.h>

#include <cstdio>

#include "music/smf_reader.h"
#include "support/smf_builder.h"

namespace {

constexpr uint32_t NoteWord(uint8_t key, uint8_t velocity = 100, uint8_t channel = 0) {
  return (0x90u | channel) | uint32_t{key} << 8 | uint32_t{velocity} << 16;
}
constexpr uint32_t TempoWord(uint32_t micros) { return micros | MEVT_TEMPO << 24; }

std::vector<uint32_t> Words(const std::vector<MIDIEVENT>& b) {
  std::vector<uint32_t> out;
  for (const MIDIEVENT& e : b) out.push_back(e.dwEvent);
  return out;
}
std::vector<uint32_t> Deltas(const std::vector<MIDIEVENT>& b) {
  std::vector<uint32_t> out;
  for (const MIDIEVENT& e : b) out.push_back(e.dwDeltaTime);
  return out;
}
using W = std::vector<uint32_t>;

class SongReader : public testing::Test {
 protected:
  void SetUp() override {
    SongClose();
    SongClock = 0;
    EncoderFlags = 0;
    CurrentTempo = 0;
    dwBufferTickLength = 0;
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
  Open(480, {SmfTrack()
                 .Tempo(0, 500000)
                 .Note(0, 0, 60, 100)
                 .Note(30, 0, 61, 100)
                 .Note(30, 0, 62, 100)
                 .Note(30, 0, 63, 100)
                 .Note(30, 0, 64, 100)
                 .End()});
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  EXPECT_EQ(dwBufferTickLength, 480u * 60000 / 500000);
  EXPECT_EQ(Words(buffers[0]),
            (W{TempoWord(500000), NoteWord(60), NoteWord(61), NoteWord(62), NoteWord(63)}));
  EXPECT_EQ(Deltas(buffers[0]), (W{0, 0, 30, 30, 30}));
  for (const MIDIEVENT& e : buffers[0]) EXPECT_EQ(e.dwStreamID, 0u);
  EXPECT_EQ(Words(buffers[1]), W{NoteWord(64)});
  EXPECT_EQ(Deltas(buffers[1]), W{30});
}

TEST_F(SongReader, WithoutATempoEventTheBudgetIsZero) {
  Open(96, {SmfTrack()
                .Note(0, 0, 60, 1)
                .Note(10, 0, 61, 1)
                .Note(10, 0, 62, 1)
                .Note(10, 0, 63, 1)
                .End()});
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  // The clock first moves with the note at 10; the buffer closes at the second event after it.
  ASSERT_EQ(buffers[0].size(), 3u);
  EXPECT_EQ(buffers[0][2].dwEvent, NoteWord(62, 1));
}

struct TempoCase {
  int32_t percent;
  uint32_t fileTempo;
  uint32_t written;
};

class TempoPercentScaling : public SongReader, public testing::WithParamInterface<TempoCase> {};

TEST_P(TempoPercentScaling, DividesEveryTempoEncoded) {
  const TempoCase c = GetParam();
  TempoPercent = c.percent;
  Open(480, {SmfTrack().Tempo(0, c.fileTempo).Note(0, 0, 60, 1).End()});
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(buffers[0][0].dwEvent, TempoWord(c.written));
  EXPECT_EQ(CurrentTempo, c.fileTempo);
  EXPECT_EQ(dwBufferTickLength, 480u * 60000 / c.fileTempo) << "budget ignores the percent";
}

INSTANTIATE_TEST_SUITE_P(
    Percents, TempoPercentScaling,
    testing::Values(TempoCase{100, 500000, 500000}, TempoCase{130, 500000, 500000u * 100 / 130},
                    TempoCase{130, 400001, 400001u * 100 / 130},
                    // Unset or nonsensical speeds play as written; a slow-down stays in 24 bits.
                    TempoCase{0, 500000, 500000}, TempoCase{-5, 500000, 500000},
                    TempoCase{10, 0xFFFFFF, 0xFFFFFF}),
    [](const auto& info) {
      const TempoCase& c = info.param;
      return "Percent" + std::to_string(c.percent).replace(0, c.percent < 0, "Minus") + "Of" +
             std::to_string(c.fileTempo);
    });

TEST_F(SongReader, EarlierTrackWinsATieAndEmptyTrackAddsNothing) {
  SmfTrack empty;  // a chunk of length 0
  Open(96, {SmfTrack().Note(5, 0, 10, 1).Note(5, 0, 11, 1).End(), empty,
            SmfTrack().Note(5, 1, 20, 1).Note(3, 1, 21, 1).End()});
  EXPECT_EQ(Song.tracks[1].flags & TRACK_ENDED, TRACK_ENDED);
  dwBufferTickLength = 1000;
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Words(buffers[0]),
            (W{NoteWord(10, 1), NoteWord(20, 1, 1), NoteWord(21, 1, 1), NoteWord(11, 1)}));
  EXPECT_EQ(Deltas(buffers[0]), (W{5, 0, 3, 2}));
}

TEST_F(SongReader, DroppedEventsKeepTheNextNoteOnItsTick) {
  // A text and a system-exclusive event are not written but their ticks are kept.
  Open(96, {SmfTrack()
                .Note(100, 0, 60, 1)
                .Meta(50, 0x01, {'h', 'i'})
                .Note(50, 0, 61, 1)
                .Raw(25, {0xF0, 0x02, 0x7E, 0xF7})
                .Note(25, 0, 62, 1)
                .End()});
  dwBufferTickLength = 1000;
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Deltas(buffers[0]), (W{100, 100, 50}));
}

TEST_F(SongReader, RunningStatusKeepsOneDataByteForProgramChange) {
  Open(96, {SmfTrack()
                .Raw(0, {0xC3, 0x05})
                .Raw(1, {0x06})  // program change again, one data byte
                .Raw(1, {0x90, 60, 90})
                .Raw(1, {61, 91})  // note on again, two data bytes
                .Meta(1, 0x01, {'x'})
                .Raw(1, {62, 92})  // a meta event leaves the running status alone
                .End()});
  dwBufferTickLength = 1000;
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Words(buffers[0]),
            (W{0x05C3, 0x06C3, NoteWord(60, 90), NoteWord(61, 91), NoteWord(62, 92)}));
}

TEST_F(SongReader, OnlyEndOfTrackGivesOneEmptyBufferThenDone) {
  Open(96, {SmfTrack().End(10), SmfTrack().End()});
  EXPECT_EQ(EncodeBuffer(1, slot_.Fresh()), ENC_OK);
  EXPECT_EQ(slot_.slot.used, 0u);
  EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_DONE);
  Looping = 1;
  EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_OK);
  EXPECT_EQ(slot_.slot.used, 0u);
  EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_OK);
}

TEST_F(SongReader, EightySixthEventWaitsForTheNextBufferOnItsOwnTick) {
  SmfTrack t;
  for (int i = 0; i < 100; ++i) t.Note(i < 80 ? 0 : 2, 0, static_cast<uint8_t>(i), 1);
  Open(96, {t.End()});
  dwBufferTickLength = 1000;
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  const size_t first = STREAM_BUFFER_BYTES / STREAM_EVENT_BYTES;
  EXPECT_EQ(first, 85u);
  ASSERT_EQ(buffers[0].size(), first);
  ASSERT_EQ(buffers[1].size(), 100u - first);
  EXPECT_EQ(buffers[1][0].dwEvent, NoteWord(static_cast<uint8_t>(first), 1));
  EXPECT_EQ(buffers[1][0].dwDeltaTime, 2u) << "the held-over note keeps its delta";
}

TEST_F(SongReader, LoopingSkipsTheTailBeforeEndOfTrack) {
  // The 480 ticks of silence before the end are skipped when the song starts again.
  Open(96, {SmfTrack().Note(30, 0, 60, 1).Note(450, 0, 61, 1).End(480)});
  Looping = 1;
  dwBufferTickLength = 100000;
  const auto buffers = Encode(2);
  ASSERT_EQ(buffers.size(), 2u);
  EXPECT_EQ(Deltas(buffers[0]), (W{30, 450}));
  EXPECT_EQ(Words(buffers[1]), (W{NoteWord(60, 1), NoteWord(61, 1)})) << "starts again";
  EXPECT_EQ(Deltas(buffers[1]), (W{30, 450}));
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
  const auto buffers = Encode(100, &last);
  EXPECT_EQ(last, ENC_DONE);
  uint64_t count = 0;
  uint64_t clock = 0;
  for (const auto& b : buffers) {
    for (const MIDIEVENT& e : b) {
      clock += e.dwDeltaTime;
      EXPECT_EQ(e.dwEvent & 0xFF0000, 0x010000u);
      ++count;
    }
  }
  EXPECT_EQ(count, 3u * 700);
  EXPECT_EQ(clock, 2u + 699u * 3) << "last event of the last track";
}

TEST_F(SongReader, HeaderLongerThanSixBytesIsPassedOver) {
  const auto bytes = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()}, 1, 10);
  ASSERT_EQ(SongOpen(WriteFile(path_, bytes).c_str()), 0);
  EXPECT_EQ(Song.division, 96u);
  EXPECT_EQ(Encode(1).at(0).size(), 1u);
}

TEST_F(SongReader, SmpteDivisionGivesSixtyMillisecondsOfTicks) {
  // 25 frames a second of 40 ticks: 1000 ticks a second.
  Open(0xE728, {SmfTrack().Tempo(0, 500000).Note(0, 0, 60, 1).End()});
  Encode(1);
  EXPECT_EQ(dwBufferTickLength, 60u);
}

TEST_F(SongReader, TempoEventsThatCannotBePlayedAreDropped) {
  dwBufferTickLength = 57;
  Open(96, {SmfTrack()
                .Meta(0, 0x51, {0x07, 0xA1})  // two bytes
                .Tempo(0, 0)
                .Note(5, 0, 60, 1)
                .End()});
  const auto buffers = Encode(1);
  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(Deltas(buffers[0]), W{5});
  EXPECT_EQ(dwBufferTickLength, 57u);
}

struct BadFile {
  const char* what;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> WithByte(std::vector<uint8_t> b, size_t at, uint8_t value) {
  b.at(at) = value;
  return b;
}

TEST_F(SongReader, UnreadableFilesFailToOpenAndLeaveNothingOpen) {
  const auto good = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()});
  const std::vector<BadFile> files = {
      {"not MThd", WithByte(good, 0, 'X')},
      {"header below 6", WithByte(good, 7, 5)},
      {"another chunk where a track should be", WithByte(good, 14, 'X')},
      {"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 12)},
      {"truncated track", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"more tracks than chunks", WithByte(good, 11, 2)},
      {"empty", {}},
  };
  for (const BadFile& f : files) {
    EXPECT_EQ(SongOpen(WriteFile(path_, f.bytes).c_str()), 1) << f.what;
    EXPECT_EQ(Song.file, nullptr) << f.what;
    EXPECT_EQ(Song.tracks, nullptr) << f.what;
  }
  EXPECT_EQ(SongOpen("no_such_song.mid"), 1);
}

struct CorruptTrack {
  const char* what;
  SmfTrack track;
};

TEST_F(SongReader, CorruptEventsReportOnceThenStayStuck) {
  const std::vector<CorruptTrack> cases = {
      {"no end-of-track", SmfTrack().Note(0, 0, 60, 1).Note(1, 0, 61, 1)},
      {"running status with none set", SmfTrack().Raw(0, {60, 1}).End()},
      {"undefined status byte", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0xF4}).End()},
      {"note cut short", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0x90, 60})},
      {"meta longer than the track", SmfTrack().Note(0, 0, 60, 1).Raw(1, {0xFF, 0x01, 0x7F, 1})},
  };
  for (const CorruptTrack& c : cases) {
    SetUp();
    Open(96, {c.track});
    int32_t last = 0;
    const auto buffers = Encode(10, &last);
    EXPECT_EQ(last, ENC_CORRUPT) << c.what;
    EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_STUCK) << c.what;
    EXPECT_EQ(EncodeBuffer(0, slot_.Fresh()), ENC_STUCK) << c.what;
  }
}

TEST_F(SongReader, CloseIsHarmlessTwiceAndEncodingAfterItDoesNothing) {
  Open(96, {SmfTrack().Note(0, 0, 60, 1).End()});
  SongClose();
  SongClose();
  EXPECT_NE(EncodeBuffer(1, slot_.Fresh()), ENC_OK);
  EXPECT_EQ(slot_.slot.used, 0u);
}

}  // namespace
