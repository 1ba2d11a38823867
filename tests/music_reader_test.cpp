// The song reader and stream encoder: tempo and budget, merging, dropped events, bad files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "music/smf_reader.h"
#include "support/smf_builder.h"

namespace {

// "delta:status data1 data2" (hex status) or "delta:tempo micros" for each record, comma-separated.
std::string Text(const std::vector<MIDIEVENT>& b) {
  std::string out;
  char one[48];
  for (const MIDIEVENT& e : b) {
    const uint32_t w = e.dwEvent;
    if (w >> 24 == MEVT_TEMPO) {
      std::snprintf(one, sizeof one, "%u:tempo %u", e.dwDeltaTime, w & 0xFFFFFF);
    } else {
      std::snprintf(one, sizeof one, "%u:%x %u %u", e.dwDeltaTime, w & 0xFF, w >> 8 & 0xFF,
                    w >> 16);
    }
    out += (out.empty() ? "" : ", ") + std::string(one);
  }
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
    ASSERT_EQ(SongOpen(WriteFile(path_, BuildSmf(division, tracks)).c_str()), SONG_OK);
  }
  // Encodes buffer after buffer; stops after `limit` or at the first result other than ENC_OK.
  std::vector<std::vector<MIDIEVENT>> Encode(int32_t limit, int32_t* last = nullptr) {
    std::vector<std::vector<MIDIEVENT>> buffers;
    for (int32_t i = 0; i < limit; ++i) {
      const int32_t r = EncodeBuffer(i == 0 ? 1 : 0, Fresh());
      if (last != nullptr) *last = r;
      if (r != ENC_OK) break;
      buffers.emplace_back(buffer_.begin(), buffer_.begin() + slot_.used / sizeof(MIDIEVENT));
    }
    return buffers;
  }
  std::string First() {
    const auto buffers = Encode(1);
    return buffers.empty() ? "no buffer" : Text(buffers[0]);
  }

  // A slot set up as the player sets one before each EncodeBuffer.
  StreamSlot* Fresh() {
    slot_ = StreamSlot{};
    slot_.header.lpData = reinterpret_cast<char*>(buffer_.data());
    slot_.header.dwBufferLength = slot_.capacity = STREAM_BUFFER_BYTES;
    return &slot_;
  }

  std::vector<MIDIEVENT> buffer_ =
      std::vector<MIDIEVENT>(STREAM_BUFFER_BYTES / sizeof(MIDIEVENT) + 1);
  StreamSlot slot_{};
  const std::string path_ = "music_reader_test_" + std::to_string(getpid()) + ".mid";
};

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
    Open(c.division, {SmfTrack().Tempo(0, c.fileTempo).End()});
    EXPECT_EQ(First(), "0:tempo " + std::to_string(c.written)) << c.percent;
    EXPECT_EQ(dwBufferTickLength, c.budget) << c.percent;
  }
}

TEST_F(SongReader, TracksMergeByTimeAndDroppedEventsKeepTheirTicks) {
  // Text, system-exclusive and unplayable tempo events are not written, but their ticks are kept;
  // a meta event leaves the running status alone; program change and channel pressure have one
  // data byte.
  SmfTrack empty;  // a chunk of length 0
  Open(96, {SmfTrack()
                .Raw(0, {0xC3, 0x05})
                .Raw(1, {0x06})
                .Raw(0, {0xD3, 0x40})
                .Raw(100, {0x90, 60, 1})
                .Meta(50, 0x01, {'h', 'i'})
                .Raw(50, {61, 1})
                .Raw(25, {0xF0, 0x02, 0x7E, 0xF7})
                .Meta(5, 0x51, {0x07, 0xA1})  // a tempo of two bytes
                .Tempo(5, 0)                  // would stop the clock
                .Note(15, 0, 62, 1)
                .End(),
            empty, SmfTrack().Note(101, 1, 20, 1).Note(50, 1, 21, 1).End()});
  EXPECT_EQ(First(),
            "0:c3 5 0, 1:c3 6 0, 0:d3 64 0, 100:90 60 1, 0:91 20 1, 50:91 21 1, 50:90 61 1, "
            "50:90 62 1");
  EXPECT_EQ(dwBufferTickLength, 1000u);
}

TEST_F(SongReader, EventWithoutRoomWaitsForTheNextBufferOnItsOwnTick) {
  SmfTrack t;
  for (int i = 0; i < 100; ++i) t.Note(i < 80 ? 0 : 2, 0, static_cast<uint8_t>(i), 1);
  Open(96, {t.End()});
  const auto buffers = Encode(2);
  const size_t first = STREAM_BUFFER_BYTES / STREAM_EVENT_BYTES;
  ASSERT_EQ(buffers.size(), 2u);
  ASSERT_EQ(buffers[0].size(), first);
  ASSERT_EQ(buffers[1].size(), 100u - first);
  EXPECT_EQ(Text({buffers[1][0]}), "2:90 " + std::to_string(first) + " 1") << "keeps its delta";
}

TEST_F(SongReader, UnreadableFilesFailToOpenAndLeaveNothingOpen) {
  const auto good = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()});
  const auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b.at(at) = value;
    return b;
  };
  const std::pair<const char*, std::vector<uint8_t>> files[] = {
      {"not MThd", with(0, 'X')},
      {"header below 6", with(7, 5)},
      {"header longer than the file", with(6, 0x7F)},
      {"another chunk where a track should be", with(14, 'X')},
      {"more tracks than chunks", with(11, 2)},
      {"more tracks than the file has room for", with(10, 0xFF)},
      {"truncated track", std::vector<uint8_t>(good.begin(), good.end() - 3)},
      {"empty", {}},
  };
  for (const auto& [what, bytes] : files) {
    EXPECT_EQ(SongOpen(WriteFile(path_, bytes).c_str()), SONG_FAILED) << what;
    EXPECT_EQ(Song.file, nullptr) << what;
    EXPECT_TRUE(Song.tracks.empty()) << what;
  }
  EXPECT_EQ(SongOpen("no_such_song.mid"), SONG_FAILED);
  // A header longer than six bytes is passed over.
  const auto longer = BuildSmf(96, {SmfTrack().Note(0, 0, 60, 1).End()}, 10);
  ASSERT_EQ(SongOpen(WriteFile(path_, longer).c_str()), SONG_OK);
  EXPECT_EQ(First(), "0:90 60 1");
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
    EXPECT_EQ(EncodeBuffer(0, Fresh()), ENC_STUCK) << what;
  }
  SongClose();
  SongClose();
  EXPECT_EQ(EncodeBuffer(1, Fresh()), ENC_STUCK) << "nothing open";
}

}  // namespace
