// Replay files: round trip, compact runs, and every kind of damaged file refused cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "input/replay.h"

// Runs keep the file small; every kind of damage is refused with a reason.
TEST(Replay, RoundTripKeepsEveryFrameAndDamagedFilesAreRefused) {
  ReplayData sample, back;
  sample.switches = REPLAY_SWITCH_SLOW;
  sample.bits = {0, 0, 0, 0x10, 0x10, 1, 0x8000, 0};
  const auto good = EncodeReplay(sample);
  EXPECT_EQ(good.size(), 20u + 5 * 8);  // five runs for eight frames
  std::string error;
  ASSERT_TRUE(DecodeReplay(good.data(), good.size(), &back, &error)) << error;
  EXPECT_EQ(std::tie(back.switches, back.bits), std::tie(sample.switches, sample.bits));
  const auto with = [&](size_t at, uint8_t value) {
    auto bytes = good;
    bytes[at] = value;
    return bytes;
  };
  std::vector<std::vector<uint8_t>> cases = {
      with(0, 'X'),       with(4, 9),  // magic, version
      with(20 + 4, 0),                 // a run of no frames
      with(12, 9),                     // more frames than the runs hold
      with(20 + 7, 0xFF),              // a run longer than the frame count
  };
  for (size_t cut : {0, 3, 19, 21, 59}) cases.emplace_back(good.begin(), good.begin() + cut);
  cases.push_back(good);
  cases.back().push_back(0);  // trailing bytes
  // Well formed but longer than any game (one run of 2^24 + 1 frames): refused, not expanded.
  std::vector<uint8_t> endless(good.begin(), good.begin() + 12);
  for (uint32_t word : {(1u << 24) + 1, 1u, 0u, (1u << 24) + 1})
    for (int i = 0; i < 4; ++i) endless.push_back(static_cast<uint8_t>(word >> (8 * i)));
  cases.push_back(endless);
  for (size_t i = 0; i < cases.size(); ++i) {
    error.clear();
    EXPECT_FALSE(DecodeReplay(cases[i].data(), cases[i].size(), &back, &error)) << i;
    EXPECT_FALSE(error.empty()) << i;
  }
}

// Playing feeds the recorded bits whatever is pressed, then nothing; live input after the end.
TEST(Replay, RecordThenPlayFeedsTheSameBitsThenNothing) {
  const std::filesystem::path path = "input_replay_test.zzr";  // in this build's folder
  std::string error;
  ASSERT_TRUE(ReplayStartRecording(path.string().c_str(), 0));
  for (uint32_t b : {0u, 0x20u, 0x20u, 4u}) EXPECT_EQ(ReplayFilterInput(b), b);
  ASSERT_TRUE(ReplayFinish(&error)) << error;
  ReplayData loaded;
  ASSERT_TRUE(ReplayStartPlaying(path.string().c_str(), &loaded, &error)) << error;
  for (uint32_t b : {0u, 0x20u, 0x20u, 4u}) EXPECT_EQ(ReplayFilterInput(0x10), b);
  EXPECT_FALSE(ReplayExhausted());
  EXPECT_EQ(ReplayFilterInput(0x10), 0u);
  EXPECT_TRUE(ReplayExhausted());
  EXPECT_TRUE(ReplayFinish(&error));
  EXPECT_EQ(ReplayFilterInput(0x40), 0x40u);
  std::filesystem::remove(path);
  EXPECT_FALSE(ReplayStartPlaying("/nonexistent/zz.zzr", nullptr, &error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
  // The recording's file is made at the start: a bad path is known before the game is played.
  ASSERT_TRUE(ReplayStartRecording(path.string().c_str(), 0));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(ReplayFinish(&error)) << error;
  std::filesystem::remove(path);
  EXPECT_FALSE(ReplayStartRecording("/nonexistent/zz.zzr", 0, &error));
  EXPECT_FALSE(ReplayIsRecording());
  EXPECT_NE(error.find("cannot write /nonexistent/zz.zzr"), std::string::npos) << error;
}

// Anything longer than the longest replay is refused without being read whole: a (sparse) file
// one byte past a header and 2^24 runs. Devices without a size are the file reader's test.
TEST(Replay, FilesLargerThanAnyReplayAreRefusedUnread) {
  const std::filesystem::path big = "input_replay_big.zzr";
  std::filesystem::remove(big);
  { std::ofstream touch(big); }
  std::filesystem::resize_file(big, 20 + 8 * (uintmax_t{1} << 24) + 1);
  std::string error;
  EXPECT_FALSE(ReplayStartPlaying(big.string().c_str(), nullptr, &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  std::filesystem::remove(big);
}
