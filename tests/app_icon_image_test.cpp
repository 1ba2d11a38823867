// Decoding the window icon: bit depths, the transparency mask, the largest image, bad files.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/icon_image.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

struct TestImage {
  int32_t side;
  uint32_t bits;
  std::vector<uint32_t> table;   // 0xRRGGBB entries (indexed depths)
  std::vector<uint32_t> pixels;  // top row first: indices, or 0xAARRGGBB
  std::vector<bool> hidden;      // the mask, top row first
};

std::vector<uint8_t> ImageBytes(const TestImage& t) {
  std::vector<uint8_t> v;
  const uint32_t side = static_cast<uint32_t>(t.side);
  for (uint32_t x : {40u, side, side * 2, 1u | t.bits << 16, 0u, 0u, 0u, 0u,
                     static_cast<uint32_t>(t.table.size()), 0u})
    Put32(v, x);  // the header: size, width, doubled height, planes and depth, ...
  for (uint32_t c : t.table) Put32(v, c);
  const size_t colourRow = ((t.side * t.bits + 31) / 32) * 4, maskRow = ((t.side + 31) / 32) * 4;
  for (int32_t y = t.side - 1; y >= 0; --y) {  // bottom row first
    std::vector<uint8_t> row(colourRow, 0);
    for (int32_t x = 0; x < t.side; ++x) {
      const uint32_t p = t.pixels[y * t.side + x];
      switch (t.bits) {
        case 4:
          row[x / 2] |= static_cast<uint8_t>(p << (x % 2 == 0 ? 4 : 0));
          break;
        case 8:
          row[x] = static_cast<uint8_t>(p);
          break;
        case 32:
          for (int b = 0; b < 4; ++b) row[x * 4 + b] = static_cast<uint8_t>(p >> (8 * b));
          break;
      }
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  for (int32_t y = t.side - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int32_t x = 0; x < t.side; ++x) {
      if (t.hidden[y * t.side + x]) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

std::vector<uint8_t> IconFile(const std::vector<std::vector<uint8_t>>& images) {
  std::vector<uint8_t> v;
  Put16(v, 0);
  Put16(v, 1);
  Put16(v, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const auto& image : images) {
    for (int i = 0; i < 8; ++i) v.push_back(0);
    Put32(v, static_cast<uint32_t>(image.size()));
    Put32(v, offset);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const auto& image : images) v.insert(v.end(), image.begin(), image.end());
  return v;
}

const TestImage EIGHT_BIT{
    2, 8, {0x000000, 0xFF8000, 0x0000FF}, {1, 2, 0, 1}, {false, false, true, false}};

TEST(IconImage, EightBitWithMask) {
  const std::vector<uint8_t> file = IconFile({ImageBytes(EIGHT_BIT)});
  IconImage icon;
  ASSERT_TRUE(DecodeIcon(file.data(), file.size(), &icon));
  ASSERT_EQ(icon.width, 2);
  ASSERT_EQ(icon.height, 2);
  const std::vector<uint8_t> expected = {255, 128, 0, 255, 0,   0,   255, 255,
                                         0,   0,   0, 0,   255, 128, 0,   255};
  EXPECT_EQ(icon.rgba, expected);
}

TEST(IconImage, FourAndThirtyTwoBitsAndTheLargestImageWins) {
  const TestImage four{2, 4, {0x112233, 0x445566}, {0, 1, 1, 0}, {false, false, false, false}};
  const TestImage big{
      3, 32, {}, std::vector<uint32_t>(9, 0x80102030u), std::vector<bool>(9, false)};
  const std::vector<uint8_t> file = IconFile({ImageBytes(four), ImageBytes(big)});
  IconImage icon;
  ASSERT_TRUE(DecodeIcon(file.data(), file.size(), &icon));
  ASSERT_EQ(icon.width, 3);
  // 32 bits carry their own alpha.
  EXPECT_EQ(std::vector<uint8_t>(icon.rgba.begin(), icon.rgba.begin() + 4),
            (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x80}));
  const std::vector<uint8_t> small = IconFile({ImageBytes(four)});
  ASSERT_TRUE(DecodeIcon(small.data(), small.size(), &icon));
  EXPECT_EQ(std::tuple(icon.rgba[0], icon.rgba[4]), std::tuple(0x11, 0x44));  // (1,0) is index 1
}

TEST(IconImage, DamagedFilesAreRefusedWithoutReadingPastTheEnd) {
  const std::vector<uint8_t> good = IconFile({ImageBytes(EIGHT_BIT)});
  std::vector<std::vector<uint8_t>> bad;
  for (size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + n);
  auto patched = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> v = good;
    v[at] = value;
    return v;
  };
  bad.push_back(patched(2, 2));                 // a cursor file, not an icon
  bad.push_back(patched(4, 0));                 // no images
  bad.push_back(patched(22 + 4, 0));            // zero width
  bad.push_back(patched(22 + 5, 0x10));         // absurd width
  bad.push_back(patched(22 + 8, 3));            // odd doubled height
  bad.push_back(patched(22 + 14, 16));          // 16 bits per pixel
  bad.push_back(patched(22 + 16, 1));           // compressed
  bad.push_back(patched(18, 0xFF));             // offset past the end
  bad.push_back(patched(22 + 40 + 12 + 0, 7));  // pixel index beyond the 3-entry table
  for (const auto& b : bad) {
    IconImage icon;
    EXPECT_FALSE(DecodeIcon(b.data(), b.size(), &icon)) << "size " << b.size();
    EXPECT_EQ(icon.width, 0);
  }
  IconImage icon;
  EXPECT_FALSE(DecodeIcon(nullptr, 0, &icon));
}

}  // namespace
