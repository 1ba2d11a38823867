// The bounded whole-file reader: sizes at and past the bound, devices without a size, no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/file_read.h"

TEST(FileRead, ReadsUpToTheBoundAndRefusesAnythingLonger) {
  const std::filesystem::path path = "core_file_read.bin";
  struct Case {
    size_t bytes;
    bool read;
  };
  for (const Case c :
       {Case{0, true}, Case{1, true}, Case{100, true}, Case{101, false}, Case{70000, false}}) {
    {
      std::ofstream out(path, std::ios::binary);
      for (size_t i = 0; i < c.bytes; ++i) out.put(static_cast<char>(i * 7));
    }
    std::vector<uint8_t> bytes = {1, 2, 3};
    std::string reason;
    EXPECT_EQ(ReadWholeFile(path.string().c_str(), 100, &bytes, &reason), c.read) << c.bytes;
    if (c.read) {
      ASSERT_EQ(bytes.size(), c.bytes);
      for (size_t i = 0; i < c.bytes; ++i) ASSERT_EQ(bytes[i], static_cast<uint8_t>(i * 7));
    } else {
      EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
    }
  }
  std::filesystem::remove(path);
  std::string reason;
  std::vector<uint8_t> bytes;
  // A device says no size: it is read until it passes the bound.
  EXPECT_FALSE(ReadWholeFile("/dev/zero", 100000, &bytes, &reason));
  EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
  EXPECT_LE(bytes.size(), 100001u);
  EXPECT_FALSE(ReadWholeFile("/nonexistent/file", 100, &bytes, &reason));
  EXPECT_NE(reason.find("cannot open /nonexistent/file"), std::string::npos) << reason;
}
