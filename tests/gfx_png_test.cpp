// PNG writer: files decoded back (chunks, checksums, stored deflate blocks) match the picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/png_file.h"

namespace {

uint32_t Big32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

struct DecodedPng {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> palette;  // r, g, b triples
  std::vector<uint8_t> indices;  // width * height
};

// A decoder for what the writer may produce: one palette image, stored deflate blocks, filter 0.
// Every structural check is an expectation, so a broken file fails the test that wrote it.
DecodedPng Decode(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  DecodedPng png;
  const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_GE(file.size(), 8u);
  if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin())) return png;
  std::vector<uint8_t> zlib;
  std::vector<std::string> order;
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint32_t length = Big32(file, at);
    EXPECT_LE(at + 12 + length, file.size());
    if (at + 12 + length > file.size()) return png;
    const std::string type(file.begin() + at + 4, file.begin() + at + 8);
    EXPECT_EQ(Big32(file, at + 8 + length), PngCrc32(&file[at + 4], length + 4)) << type;
    const auto body = file.begin() + static_cast<ptrdiff_t>(at + 8);
    if (type == "IHDR") {
      std::vector<uint8_t> h(body, body + length);
      png.width = Big32(h, 0);
      png.height = Big32(h, 4);
      EXPECT_EQ(std::vector<uint8_t>(h.begin() + 8, h.end()),
                (std::vector<uint8_t>{8, 3, 0, 0, 0}));
    } else if (type == "PLTE") {
      png.palette.assign(body, body + length);
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), body, body + length);
    }
    if (order.empty() || order.back() != type) order.push_back(type);
    at += 12 + length;
  }
  EXPECT_EQ(at, file.size());
  EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));

  EXPECT_GE(zlib.size(), 6u);
  if (zlib.size() < 6) return png;
  EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check bits";
  EXPECT_EQ(zlib[0] & 0x0F, 8) << "deflate";
  std::vector<uint8_t> raw;
  size_t z = 2;
  for (bool last = false; !last;) {
    EXPECT_LE(z + 5, zlib.size());
    if (z + 5 > zlib.size()) return png;
    last = zlib[z] & 1;
    EXPECT_EQ(zlib[z] >> 1, 0) << "stored block";
    const size_t len = zlib[z + 1] | (zlib[z + 2] << 8);
    const size_t nlen = zlib[z + 3] | (zlib[z + 4] << 8);
    EXPECT_EQ(len ^ 0xFFFF, nlen);
    z += 5;
    EXPECT_LE(z + len, zlib.size());
    if (z + len > zlib.size()) return png;
    raw.insert(raw.end(), zlib.begin() + z, zlib.begin() + z + len);
    z += len;
  }
  EXPECT_EQ(z + 4, zlib.size());
  if (z + 4 <= zlib.size()) {
    EXPECT_EQ(Big32(zlib, z), ZlibAdler32(raw.data(), raw.size()));
  }

  EXPECT_EQ(raw.size(), size_t{png.height} * (png.width + 1));
  if (raw.size() != size_t{png.height} * (png.width + 1)) return png;
  for (uint32_t y = 0; y < png.height; ++y) {
    const auto row = raw.begin() + y * (png.width + 1);
    EXPECT_EQ(row[0], 0) << "filter of row " << y;
    png.indices.insert(png.indices.end(), row + 1, row + 1 + png.width);
  }
  return png;
}

std::vector<PlatformColor> TestPalette() {
  std::vector<PlatformColor> p(256);
  for (int i = 0; i < 256; ++i)
    p[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 0};
  return p;
}

TEST(PngChecksums, StandardCheckValues) {
  const std::string digits = "123456789";
  EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(digits.data()), digits.size()), 0xCBF43926u);
  const std::string word = "Wikipedia";
  EXPECT_EQ(ZlibAdler32(reinterpret_cast<const uint8_t*>(word.data()), word.size()), 0x11E60398u);
}

struct PngCase {
  int32_t width, height, pitch, scale;
};

class PngRoundTrip : public testing::TestWithParam<PngCase> {};

TEST_P(PngRoundTrip, DecodesToTheEnlargedPicture) {
  const PngCase c = GetParam();
  std::vector<uint8_t> pixels(static_cast<size_t>(c.pitch) * c.height, 0xEE);
  for (int32_t y = 0; y < c.height; ++y)
    for (int32_t x = 0; x < c.width; ++x)
      pixels[y * c.pitch + x] = static_cast<uint8_t>(x * 3 + y * 5);
  const auto palette = TestPalette();
  const std::string path = "gfx_png_test_" + std::to_string(c.width) + "x" +
                           std::to_string(c.height) + "_" + std::to_string(c.scale) + ".png";
  std::string error;
  ASSERT_TRUE(WriteIndexedPng(path.c_str(), pixels.data(), c.pitch, c.width, c.height,
                              palette.data(), c.scale, &error))
      << error;
  const DecodedPng png = Decode(path);
  std::remove(path.c_str());
  ASSERT_EQ(png.width, static_cast<uint32_t>(c.width * c.scale));
  ASSERT_EQ(png.height, static_cast<uint32_t>(c.height * c.scale));
  ASSERT_EQ(png.palette.size(), 768u);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(png.palette[i * 3], palette[i].r);
    EXPECT_EQ(png.palette[i * 3 + 1], palette[i].g);
    EXPECT_EQ(png.palette[i * 3 + 2], palette[i].b);
  }
  ASSERT_EQ(png.indices.size(), size_t{png.width} * png.height);
  int mismatches = 0;
  for (uint32_t y = 0; y < png.height; ++y)
    for (uint32_t x = 0; x < png.width; ++x)
      mismatches += png.indices[y * png.width + x] != pixels[(y / c.scale) * c.pitch + x / c.scale];
  EXPECT_EQ(mismatches, 0);
}

// 320x240 at scale 3 spans many 64 KiB stored blocks; a padded pitch must not leak its padding;
// 1x1 is the smallest picture.
INSTANTIATE_TEST_SUITE_P(Sizes, PngRoundTrip,
                         testing::Values(PngCase{320, 240, 320, 3}, PngCase{7, 5, 16, 2},
                                         PngCase{1, 1, 1, 1}));

TEST(PngWriter, RefusesBadArgumentsAndLeavesNoFile) {
  const auto palette = TestPalette();
  const std::vector<uint8_t> pixels(64, 1);
  const char* path = "gfx_png_test_refused.png";
  const PngCase bad[] = {{0, 4, 4, 1}, {4, 0, 4, 1}, {4, 4, 3, 1}, {4, 4, 4, 0}, {4, 4, 4, -2}};
  for (const PngCase& c : bad) {
    std::string error;
    EXPECT_FALSE(WriteIndexedPng(path, pixels.data(), c.pitch, c.width, c.height, palette.data(),
                                 c.scale, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::fopen(path, "rb"), nullptr);
  }
  std::string error;
  EXPECT_FALSE(
      WriteIndexedPng("no-such-folder/x.png", pixels.data(), 8, 8, 8, palette.data(), 1, &error));
  EXPECT_NE(error.find("no-such-folder/x.png"), std::string::npos);
}

}  // namespace
