// The audio dump: the WAVE file it leaves, blocks across the ring's end, blocks it must drop.
#include "platform/audio_dump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/bytes.h"
#include "support/files.h"

namespace {
// The writer keeps the file current; waits until it holds `bytes` (or gives up after 10 s).
void WaitForSize(const std::filesystem::path& path, uintmax_t bytes) {
  for (int i = 0; i < 1000 && std::filesystem::file_size(path) < bytes; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// A ramp of `frames` stereo frames from `from` in steps of 1/1024, left and right apart.
std::vector<float> Ramp(int32_t frames, float from) {
  std::vector<float> block;
  for (int32_t i = 0; i < frames; ++i) {
    block.push_back(from + static_cast<float>(i) / 1024.0f);
    block.push_back(-from - static_cast<float>(i) / 1024.0f);
  }
  return block;
}
}  // namespace

TEST(AudioDump, BlocksAcrossTheRingsEndReachTheFileInOrderUnderAWholeHeader) {
  const std::filesystem::path path = "audio_dump_ring.wav";
  std::vector<float> fed;
  {
    // 1024 samples: the third block of 200 frames wraps round the ring's end.
    AudioDumpPtr dump = AudioDumpStart(path.string().c_str(), 22050, 1024);
    ASSERT_NE(dump, nullptr);
    for (float from : {-1.0f, -0.5f, 0.0f, 0.5f}) {
      const std::vector<float> block = Ramp(200, from);
      AudioDumpFeed(dump.get(), block.data(), 200);
      fed.insert(fed.end(), block.begin(), block.end());
      WaitForSize(path, 44 + fed.size() * 2);
    }
    EXPECT_EQ(AudioDumpDroppedFrames(dump.get()), 0u);
  }
  const std::vector<uint8_t> file = ReadFileBytes(path.string());
  ASSERT_EQ(file.size(), 44 + fed.size() * 2);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(ReadLe32(&file[4]), 36 + fed.size() * 2);
  EXPECT_EQ(ReadLe16(&file[22]), 2) << "channels";
  EXPECT_EQ(ReadLe32(&file[24]), 22050u);
  EXPECT_EQ(ReadLe32(&file[28]), 22050u * 4) << "bytes a second";
  EXPECT_EQ(ReadLe16(&file[34]), 16) << "bits";
  EXPECT_EQ(ReadLe32(&file[40]), fed.size() * 2);
  for (size_t i = 0; i < fed.size(); ++i) {
    const auto sample = static_cast<int16_t>(ReadLe16(&file[44 + 2 * i]));
    ASSERT_EQ(sample, std::lrint(fed[i] * 32767.0f)) << "sample " << i;
  }
  std::filesystem::remove(path);
}

TEST(AudioDump, ABlockLargerThanTheRingIsDroppedAndCountedAndABadPathFails) {
  const std::filesystem::path path = "audio_dump_drop.wav";
  {
    AudioDumpPtr dump = AudioDumpStart(path.string().c_str(), 44100, 256);
    ASSERT_NE(dump, nullptr);
    const std::vector<float> block = Ramp(200, 0.0f);
    AudioDumpFeed(dump.get(), block.data(), 200);
    EXPECT_EQ(AudioDumpDroppedFrames(dump.get()), 200u);
  }
  EXPECT_EQ(ReadFileBytes(path.string()).size(), 44u) << "a header and no data";
  EXPECT_FALSE(AudioDumpFailed());
  std::filesystem::remove(path);
  EXPECT_EQ(AudioDumpStart("/nonexistent/dump.wav", 44100), nullptr);
  EXPECT_TRUE(AudioDumpFailed());
}
