// Replay files: round trip, compact runs, and every kind of damaged file refused cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "input/replay.h"

namespace {
std::vector<uint8_t> Sample() {
  ReplayData d;
  d.switches = REPLAY_SWITCH_SLOW;
  d.bits = {0, 0, 0, 0x10, 0x10, 1, 0x8000, 0};
  return EncodeReplay(d);
}
}  // namespace

TEST(Replay, RoundTripKeepsEveryFrameAndStoresRuns) {
  const auto bytes = Sample();
  EXPECT_EQ(bytes.size(), 20u + 5 * 8);  // five runs for eight frames
  ReplayData back;
  std::string error;
  ASSERT_TRUE(DecodeReplay(bytes.data(), bytes.size(), &back, &error)) << error;
  EXPECT_EQ(back.switches, REPLAY_SWITCH_SLOW);
  EXPECT_EQ(back.bits, (std::vector<uint32_t>{0, 0, 0, 0x10, 0x10, 1, 0x8000, 0}));
}

TEST(Replay, DamagedFilesAreRefusedWithAReason) {
  const auto good = Sample();
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  for (size_t cut : {0, 3, 19, 21, 27, 59})
    cases.push_back({"truncated", {good.begin(), good.begin() + cut}});
  auto badMagic = good;
  badMagic[0] = 'X';
  cases.push_back({"magic", badMagic});
  auto badVersion = good;
  badVersion[4] = 9;
  cases.push_back({"version", badVersion});
  auto zeroRun = good;
  zeroRun[20 + 4] = 0;  // first run's length
  cases.push_back({"zero run", zeroRun});
  auto tooManyFrames = good;
  tooManyFrames[12] = 9;
  cases.push_back({"frame count", tooManyFrames});
  // Well formed but longer than any game (one run of 2^24 + 1 frames): refused, not expanded.
  std::vector<uint8_t> endless(good.begin(), good.begin() + 12);
  for (uint32_t word : {(1u << 24) + 1, 1u, 0u, (1u << 24) + 1})
    for (int i = 0; i < 4; ++i) endless.push_back(static_cast<uint8_t>(word >> (8 * i)));
  cases.push_back({"endless", endless});
  auto hugeRun = good;
  hugeRun[20 + 7] = 0xFF;
  cases.push_back({"huge run", hugeRun});
  auto trailing = good;
  trailing.push_back(0);
  cases.push_back({"trailing", trailing});
  for (const auto& c : cases) {
    ReplayData out;
    std::string error;
    EXPECT_FALSE(DecodeReplay(c.bytes.data(), c.bytes.size(), &out, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(Replay, RecordThenPlayFeedsTheSameBitsThenNothing) {
  const auto path = std::filesystem::temp_directory_path() / "zz_replay_test.zzr";
  ASSERT_TRUE(ReplayStartRecording(path.c_str(), 0));
  for (uint32_t b : {0u, 0x20u, 0x20u, 4u}) EXPECT_EQ(ReplayFilterInput(b), b);
  std::string error;
  ASSERT_TRUE(ReplayFinish(&error)) << error;

  ReplayData loaded;
  ASSERT_TRUE(ReplayStartPlaying(path.c_str(), &loaded, &error)) << error;
  EXPECT_TRUE(ReplayIsPlaying());
  for (uint32_t b : {0u, 0x20u, 0x20u, 4u}) EXPECT_EQ(ReplayFilterInput(0x10), b);
  EXPECT_FALSE(ReplayExhausted());
  EXPECT_EQ(ReplayFilterInput(0x10), 0u);
  EXPECT_TRUE(ReplayExhausted());
  EXPECT_TRUE(ReplayFinish(&error));
  EXPECT_EQ(ReplayFilterInput(0x40), 0x40u);  // live input again
  std::filesystem::remove(path);

  EXPECT_FALSE(ReplayStartPlaying("/nonexistent/zz.zzr", nullptr, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}
