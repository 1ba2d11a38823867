// GamePalette, colour matching, the colour key and loading bitmaps from resources and files,
// including the refusal of damaged bitmaps.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"
#include "support/files.h"
#include "support/test_sheet.h"

namespace {

uint8_t At(const Surface* s, int32_t x, int32_t y) { return s->pixels[y * s->pitch + x]; }

bool SameColor(const PlatformColor& a, const PlatformColor& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(GamePalette, CubeRefillSparesTheStaticColoursAndNearestPrefersTheLowerIndex) {
  const std::array<PlatformColor, 256> saved = GamePalette;
  const PlatformColor junk{1, 2, 3, 4};
  GamePalette.fill(junk);
  FillColorCube();
  for (size_t i = 0; i < 256; ++i)
    EXPECT_TRUE(SameColor(GamePalette[i], i >= 10 && i < 246 ? saved[i] : junk)) << i;
  GamePalette = saved;
  for (int32_t i = 0; i < 256; ++i) {
    const PlatformColor& c = GamePalette[static_cast<size_t>(i)];
    const uint8_t found = NearestPaletteIndex(c.r, c.g, c.b);
    EXPECT_TRUE(SameColor(GamePalette[found], c) && found <= i) << i;
  }
  EXPECT_EQ(NearestPaletteIndex(8, 0, 0), 0);  // black, not the cube's black at 10
}

class Sheet : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartTestDisplay()); }
  void TearDown() override {
    StopTestDisplay();
    FakeRemoveResource("BMP_00", "BITMAP");
    FakeRemoveResource("TEST", "BITMAP");
  }
};

// A 4x3 bitmap whose table puts a red, black, a near-black red, white, a cube colour and an odd
// red at known places; the pixel rows are top first.
std::vector<uint8_t> SmallBitmap(bool fileHeader) {
  const PlatformColor table[6] = {{210, 10, 10, 0},   {0, 0, 0, 0},     {8, 0, 0, 0},
                                  {255, 255, 255, 0}, {0, 109, 170, 0}, {250, 0, 3, 0}};
  return MakeBitmapBytes(4, 3, table, 6, {0, 1, 2, 3, 4, 5, 1, 1, 3, 3, 0, 2}, fileHeader);
}

TEST_F(Sheet, ResourceOrFileIsConvertedToTheNearestColoursAndBlackIsLeftOut) {
  const char* file = "gfx_sheet_test_file.bmp";
  WriteFile(file, SmallBitmap(true));
  FakeSetResource("TEST", "BITMAP", SmallBitmap(false));
  const uint8_t red = NearestPaletteIndex(210, 10, 10), odd = NearestPaletteIndex(250, 0, 3);
  const uint8_t expected[3][4] = {{red, 0, 0, 255}, {24, odd, 0, 0}, {255, 255, red, 0}};
  for (const char* name : {"TEST", file}) {
    Surface* s = gf_DD_LoadBitmap(DisplayObject, name, 0, 0);
    ASSERT_NE(s, nullptr) << name;
    ASSERT_EQ(std::tuple(s->width, s->height), std::tuple(4, 3));
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(At(s, x, y), expected[y][x]) << x << "," << y;
    // Black and the near-black red both become the key and are left out of copies.
    gf_DD_SetColorKey(s, MakeRgb(0, 0, 0));
    gf_DD_ScrFill(ScreenSurface, 77);
    gf_DD_Blt(s, Box{0, 0, 4, 3}, ScreenSurface, Box{0, 0, 4, 3});
    EXPECT_EQ(std::tuple(At(ScreenSurface, 1, 0), At(ScreenSurface, 2, 0), At(ScreenSurface, 3, 0)),
              std::tuple(77, 77, 255));
  }
  std::remove(file);
  EXPECT_EQ(gf_DD_LoadBitmap(DisplayObject, "NO_SUCH_BITMAP", 0, 0), nullptr);
}

TEST_F(Sheet, CopyBitmapStretchesABoxOverTheSurfaceAndRefusesBoxesOutside) {
  LoadedBitmap bitmap;
  const std::vector<uint8_t> bytes = SmallBitmap(false);
  ASSERT_TRUE(DecodeBitmap(bytes.data(), bytes.size(), false, &bitmap));
  EXPECT_TRUE(SameColor(bitmap.table[200], {0, 0, 0, 0})) << "entries past a short table";
  Surface* s = CreateSurface(2, 2);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, 2, 1, 2, 2), DD_OK);
  EXPECT_EQ(std::tuple(At(s, 0, 0), At(s, 1, 1)), std::tuple(0, 0));
  EXPECT_EQ(At(s, 0, 1), NearestPaletteIndex(210, 10, 10));
  gf_DD_ScrFill(s, 9);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, 3, 0, 2, 1), E_FAIL);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, -1, 0, 2, 1), E_FAIL);
  EXPECT_EQ(gf_DD_CopyBitmap(s, nullptr, 0, 0, 0, 0), E_FAIL);
  EXPECT_EQ(At(s, 0, 0), 9);
  // Matching a colour borrows pixel (0, 0) and gives it back.
  EXPECT_EQ(gf_DD_ColorMatch(s, MakeRgb(0, 109, 170)), 24u);
  EXPECT_EQ(gf_DD_ColorMatch(s, CLR_INVALID), 9u);
  EXPECT_EQ(At(s, 0, 0), 9);
  ReleaseSurface(s);
  EXPECT_EQ(gf_DD_ColorMatch(nullptr, 0), CLR_INVALID);
}

// One field of the small bitmap changed: {file form, offset, value, bytes}; offsets count from the
// information header or, for the file form, from the file header.
const std::tuple<bool, size_t, uint32_t, size_t> DAMAGE[] = {
    {false, 0, 12, 4}, {false, 0, 0x7FFFFFFF, 4},                               // header size
    {false, 4, 0, 4},  {false, 4, 0xFFFFFFFC, 4},  {false, 4, 1000000, 4},      // width
    {false, 8, 0, 4},  {false, 8, 0x80000000u, 4}, {false, 8, 4, 4},            // height
    {false, 12, 2, 2}, {false, 14, 4, 2},          {false, 14, 24, 2},          // planes, bits
    {false, 16, 1, 4}, {false, 32, 257, 4},        {false, 32, 200, 4},         // packed, table
    {true, 0, 'X', 1}, {true, 10, 60, 4},          {true, 10, 0xFFFFFFF0u, 4},  // BM, pixels
};

// Each vector holds exactly the damaged bytes, so a read past them shows under the sanitizers.
TEST(Bitmaps, DamagedOrShortBitmapsAreRefused) {
  for (bool file : {false, true}) {
    const std::vector<uint8_t> good = SmallBitmap(file);
    for (size_t n = 0; n < good.size(); ++n) {
      const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
      LoadedBitmap bitmap;
      EXPECT_FALSE(DecodeBitmap(cut.data(), cut.size(), file, &bitmap)) << n << " bytes";
    }
  }
  for (const auto& [file, at, value, size] : DAMAGE) {
    std::vector<uint8_t> bytes = SmallBitmap(file);
    for (size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    LoadedBitmap bitmap;
    EXPECT_FALSE(DecodeBitmap(bytes.data(), bytes.size(), file, &bitmap)) << at << " " << value;
  }
}

}  // namespace
