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
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct DecodedPng {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> palette;  // r, g, b triples
  std::vector<uint8_t> indices;  // width * height
};

// A decoder for what the writer may produce: one palette image in stored deflate blocks, filter 0.
// Returns the first rule the file breaks, or nothing when it decoded.
std::string Decode(const std::vector<uint8_t>& f, DecodedPng* png) {
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const uint8_t format[5] = {8, 3, 0, 0, 0};  // 8-bit palette, deflate, filter 0, not interlaced
  if (f.size() < 8 || !std::equal(signature, signature + 8, f.begin())) return "signature";
  const std::string types[4] = {"IHDR", "PLTE", "IDAT", "IEND"};
  std::vector<uint8_t> chunk[4];
  size_t at = 8;
  for (int i = 0; i < 4; at += 12 + chunk[i++].size()) {
    if (at + 12 > f.size() || at + 12 + Big32(f, at) > f.size()) return "chunk past the end";
    const uint32_t length = Big32(f, at);
    if (!std::equal(types[i].begin(), types[i].end(), &f[at + 4])) return "no " + types[i];
    if (Big32(f, at + 8 + length) != PngCrc32(&f[at + 4], length + 4)) return types[i] + " check";
    chunk[i].assign(f.begin() + at + 8, f.begin() + at + 8 + length);
  }
  if (at != f.size() || chunk[0].size() != 13 || !std::equal(format, format + 5, &chunk[0][8])) {
    return "header";
  }
  png->width = Big32(chunk[0], 0);
  png->height = Big32(chunk[0], 4);
  png->palette = chunk[1];
  const std::vector<uint8_t>& zlib = chunk[2];
  if (zlib.size() < 6 || (zlib[0] * 256 + zlib[1]) % 31 != 0) return "zlib header";
  std::vector<uint8_t> raw;
  size_t z = 2;
  for (bool last = false; !last; z += 5 + (zlib[z + 1] | zlib[z + 2] << 8)) {
    if (z + 5 > zlib.size() || zlib[z] >> 1 != 0) return "not a stored block";
    last = zlib[z] & 1;
    const size_t len = zlib[z + 1] | zlib[z + 2] << 8, nlen = zlib[z + 3] | zlib[z + 4] << 8;
    if ((len ^ 0xFFFF) != nlen || z + 5 + len > zlib.size()) return "stored block length";
    raw.insert(raw.end(), zlib.begin() + z + 5, zlib.begin() + z + 5 + len);
  }
  if (z + 4 != zlib.size() || Big32(zlib, z) != ZlibAdler32(raw.data(), raw.size())) {
    return "adler checksum";
  }
  const size_t row = png->width + 1;
  if (raw.size() != png->height * row) return "scanline bytes";
  for (size_t y = 0; y < png->height; ++y) {
    if (raw[y * row] != 0) return "filter of row " + std::to_string(y);
    png->indices.insert(png->indices.end(), raw.begin() + y * row + 1, raw.begin() + (y + 1) * row);
  }
  return "";
}

TEST(PngChecksums, StandardCheckValues) {
  const std::string digits = "123456789", word = "Wikipedia";
  EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(digits.data()), digits.size()), 0xCBF43926u);
  EXPECT_EQ(ZlibAdler32(reinterpret_cast<const uint8_t*>(word.data()), word.size()), 0x11E60398u);
}

struct PngCase {
  int32_t width, height, pitch, scale;
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
  std::vector<PlatformColor> palette(256);
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 256; ++i) {
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                  static_cast<uint8_t>(i * 7), 0};
    rgb.insert(rgb.end(), {palette[i].r, palette[i].g, palette[i].b});
  }
  const std::string path = "gfx_png_test_" + std::to_string(c.width) + ".png";
  std::string error;
  ASSERT_TRUE(WriteIndexedPng(path.c_str(), pixels.data(), c.pitch, c.width, c.height,
                              palette.data(), c.scale, &error))
      << error;
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
  std::remove(path.c_str());
  DecodedPng png;
  ASSERT_EQ(Decode(file, &png), "");
  ASSERT_EQ(png.width, static_cast<uint32_t>(c.width * c.scale));
  ASSERT_EQ(png.height, static_cast<uint32_t>(c.height * c.scale));
  EXPECT_EQ(png.palette, rgb);
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
