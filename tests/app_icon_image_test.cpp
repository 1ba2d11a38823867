// Decoding the window icon: bit depths, the transparency mask, the largest image, bad files.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "app/icon_image.h"

namespace {

void Put(std::vector<uint8_t>& v, uint64_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

struct TestImage {
  uint32_t side, bits;
  std::vector<uint32_t> table;   // 0xRRGGBB entries (indexed depths)
  std::vector<uint32_t> pixels;  // top row first: indices, or 0xAARRGGBB
  std::vector<bool> hidden;      // the mask, top row first
};

std::vector<uint8_t> ImageBytes(const TestImage& t) {
  std::vector<uint8_t> v;
  // The header: size, width, doubled height, planes and depth, ..., colours used.
  for (uint32_t x : {40u, t.side, t.side * 2, 1u | t.bits << 16, 0u, 0u, 0u, 0u,
                     static_cast<uint32_t>(t.table.size()), 0u})
    Put(v, x, 4);
  for (uint32_t c : t.table) Put(v, c, 4);
  const size_t colourRow = (t.side * t.bits + 31) / 32 * 4, maskRow = (t.side + 31) / 32 * 4;
  std::vector<uint8_t> colour(colourRow * t.side), mask(maskRow * t.side);
  for (uint32_t y = 0; y < t.side; ++y) {
    const uint32_t row = t.side - 1 - y;  // stored bottom row first
    for (uint32_t x = 0; x < t.side; ++x) {
      const uint32_t p = t.pixels[y * t.side + x];
      uint8_t* c = &colour[row * colourRow];
      if (t.bits == 32) {
        for (uint32_t b = 0; b < 4; ++b) c[x * 4 + b] = static_cast<uint8_t>(p >> (8 * b));
      } else {
        c[x * t.bits / 8] |= static_cast<uint8_t>(p << (8 - t.bits - x * t.bits % 8));
      }
      mask[row * maskRow + x / 8] |= static_cast<uint8_t>(t.hidden[y * t.side + x] << (7 - x % 8));
    }
  }
  v.insert(v.end(), colour.begin(), colour.end());
  v.insert(v.end(), mask.begin(), mask.end());
  return v;
}

std::vector<uint8_t> IconFile(const std::vector<std::vector<uint8_t>>& images) {
  std::vector<uint8_t> v;
  for (uint32_t x : {0u, 1u, static_cast<uint32_t>(images.size())}) Put(v, x, 2);
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const auto& image : images) {
    Put(v, 0, 8);
    Put(v, static_cast<uint32_t>(image.size()), 4);
    Put(v, offset, 4);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const auto& image : images) v.insert(v.end(), image.begin(), image.end());
  return v;
}

const TestImage EIGHT_BIT{
    2, 8, {0x000000, 0xFF8000, 0x0000FF}, {1, 2, 0, 1}, {false, false, true, false}};

TEST(IconImage, EachDepthWithItsMaskAndTheLargestImageWins) {
  IconImage icon;
  const std::vector<uint8_t> eight = IconFile({ImageBytes(EIGHT_BIT)});
  ASSERT_TRUE(DecodeIcon(eight.data(), eight.size(), &icon));
  ASSERT_EQ(std::tuple(icon.width, icon.height), std::tuple(2, 2));
  EXPECT_EQ(icon.rgba, (std::vector<uint8_t>{255, 128, 0, 255, 0, 0, 255, 255,  // top row
                                             0, 0, 0, 0, 255, 128, 0, 255}));
  const TestImage four{2, 4, {0x112233, 0x445566}, {0, 1, 1, 0}, {false, false, false, false}};
  const std::vector<uint8_t> small = IconFile({ImageBytes(four)});
  ASSERT_TRUE(DecodeIcon(small.data(), small.size(), &icon));
  EXPECT_EQ(std::tuple(icon.rgba[0], icon.rgba[4]), std::tuple(0x11, 0x44));  // (1,0) is index 1
  // 32 bits carry their own alpha.
  const TestImage big{3, 32, {}, std::vector<uint32_t>(9, 0x80102030u), std::vector<bool>(9)};
  const std::vector<uint8_t> both = IconFile({ImageBytes(four), ImageBytes(big)});
  ASSERT_TRUE(DecodeIcon(both.data(), both.size(), &icon));
  ASSERT_EQ(icon.width, 3);
  EXPECT_EQ(std::vector<uint8_t>(icon.rgba.begin(), icon.rgba.begin() + 4),
            (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x80}));
}

TEST(IconImage, DamagedFilesAreRefusedWithoutReadingPastTheEnd) {
  const std::vector<uint8_t> good = IconFile({ImageBytes(EIGHT_BIT)});
  std::vector<std::vector<uint8_t>> bad;
  for (size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + n);
  // A cursor file; no images; zero, absurd width; odd doubled height; 16 bits; compressed; an
  // offset past the end; a pixel index just past the 3-entry table.
  const std::pair<size_t, uint8_t> patches[] = {{2, 2},         {4, 0},      {22 + 4, 0},
                                                {22 + 5, 0x10}, {22 + 8, 3}, {22 + 14, 16},
                                                {22 + 16, 1},   {18, 0xFF},  {22 + 40 + 12, 3}};
  for (const auto& [at, value] : patches) {
    bad.push_back(good);
    bad.back()[at] = value;
  }
  for (const auto& b : bad) {
    IconImage icon;
    EXPECT_FALSE(DecodeIcon(b.data(), b.size(), &icon)) << "size " << b.size();
    EXPECT_EQ(icon.width, 0);
  }
  IconImage icon;
  EXPECT_FALSE(DecodeIcon(nullptr, 0, &icon));
}

}  // namespace
