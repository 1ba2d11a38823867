// PNG writer: files decoded back (chunks, checksums, zlib stream) match the picture, compressed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/png_file.h"
#include "support/files.h"
#include "support/png_decode.h"

namespace {

std::vector<uint8_t> ReadAndRemove(const std::string& path) {
  const std::vector<uint8_t> file = ReadFileBytes(path);
  std::remove(path.c_str());
  return file;
}

std::vector<PlatformColor> TestPalette() {
  std::vector<PlatformColor> palette(256);
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                  static_cast<uint8_t>(i * 7), 0};
  return palette;
}

struct PngCase {
  int32_t width, height, pitch, scale;
  size_t maxBytes = SIZE_MAX;  // the file's size at most
};

void PrintTo(const PngCase& c, std::ostream* os) {
  *os << c.width << 'x' << c.height << " x" << c.scale;
}

class PngRoundTrip : public testing::TestWithParam<PngCase> {};

TEST_P(PngRoundTrip, DecodesToTheEnlargedPicture) {
  const PngCase c = GetParam();
  std::vector<uint8_t> pixels(static_cast<size_t>(c.pitch) * c.height, 0xEE);
  for (int32_t y = 0; y < c.height; ++y)
    for (int32_t x = 0; x < c.width; ++x)
      pixels[y * c.pitch + x] = static_cast<uint8_t>(x * 3 + y * 5);
  const std::vector<PlatformColor> palette = TestPalette();
  std::vector<uint8_t> rgb;
  for (const PlatformColor& p : palette) rgb.insert(rgb.end(), {p.r, p.g, p.b});
  const std::string path = "gfx_png_test_" + std::to_string(c.width) + ".png";
  std::string error;
  ASSERT_TRUE(WriteIndexedPng(path.c_str(), pixels.data(), c.pitch, c.width, c.height,
                              palette.data(), c.scale, &error))
      << error;
  const std::vector<uint8_t> file = ReadAndRemove(path);
  EXPECT_LE(file.size(), c.maxBytes) << "not compressed";
  DecodedPng png;
  ASSERT_EQ(DecodePng(file, &png), "");
  ASSERT_EQ(png.width, static_cast<uint32_t>(c.width * c.scale));
  ASSERT_EQ(png.height, static_cast<uint32_t>(c.height * c.scale));
  EXPECT_EQ(png.colourType, 3);
  EXPECT_EQ(png.palette, rgb);
  int mismatches = 0;
  const size_t row = png.width + 1;
  for (uint32_t y = 0; y < png.height; ++y) {
    mismatches += png.scanlines[y * row] != 0;  // filter: none
    for (uint32_t x = 0; x < png.width; ++x)
      mismatches += png.scanlines[y * row + 1 + x] != pixels[(y / c.scale) * c.pitch + x / c.scale];
  }
  EXPECT_EQ(mismatches, 0);
}

// 320x240 at scale 3 is a large window's shot, which must shrink far below the 690 KB its bare
// scanlines take; a padded pitch must not leak its padding; 1x1 is the smallest picture.
INSTANTIATE_TEST_SUITE_P(Sizes, PngRoundTrip,
                         testing::Values(PngCase{320, 240, 320, 3, 30000}, PngCase{7, 5, 16, 2},
                                         PngCase{1, 1, 1, 1}));

TEST(PngWriter, RefusesBadArgumentsAndLeavesNoFile) {
  const std::vector<PlatformColor> palette(256);
  const std::vector<uint8_t> pixels(64, 1);
  const char* path = "gfx_png_test_refused.png";
  std::remove(path);  // left by an earlier failed run
  const PngCase bad[] = {{0, 4, 4, 1}, {4, 0, 4, 1}, {4, 4, 3, 1}, {4, 4, 4, 0}, {4, 4, 4, 65}};
  for (const PngCase& c : bad) {
    std::string error;
    EXPECT_FALSE(WriteIndexedPng(path, pixels.data(), c.pitch, c.width, c.height, palette.data(),
                                 c.scale, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::fopen(path, "rb"), nullptr);
  }
  std::string error;  // an unwritable file is named in the message
  EXPECT_FALSE(WriteIndexedPng("no/x.png", pixels.data(), 8, 8, 8, palette.data(), 1, &error));
  EXPECT_NE(error.find("no/x.png"), std::string::npos);
}

}  // namespace
