// GamePalette, colour matching, the colour key and loading bitmaps from resources and files,
// including the refusal of damaged bitmaps.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <tuple>

#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"
#include "support/test_sheet.h"

namespace {

uint8_t At(const Surface* s, int32_t x, int32_t y) { return s->pixels[y * s->pitch + x]; }

bool SameColor(const PlatformColor& a, const PlatformColor& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

TEST(GamePalette, CubeEntriesFollowTheLevels) {
  EXPECT_TRUE(SameColor(GamePalette[10], PlatformColor{0, 0, 0, 0}));
  EXPECT_TRUE(SameColor(GamePalette[24], PlatformColor{0, 109, 170, 0}));
  EXPECT_TRUE(SameColor(GamePalette[224], PlatformColor{218, 182, 170, 0}));
  EXPECT_TRUE(SameColor(GamePalette[245], PlatformColor{255, 72, 255, 0}));
  const std::array<PlatformColor, 256> saved = GamePalette;
  GamePalette.fill(PlatformColor{1, 2, 3, 4});
  FillColorCube();
  const int32_t redGreen[8] = {0, 36, 72, 109, 145, 182, 218, 255};
  const int32_t blue[4] = {0, 85, 170, 255};
  int32_t checked = 0;
  for (int32_t r = 0; r < 8; ++r) {
    for (int32_t g = 0; g < 8; ++g) {
      for (int32_t b = 0; b < 4; ++b) {
        const int32_t index = 10 + 32 * r + 4 * g + b;
        if (index > 245) continue;
        const PlatformColor& c = GamePalette[static_cast<size_t>(index)];
        EXPECT_EQ(std::tuple(c.r, c.g, c.b, c.flags),
                  std::tuple(redGreen[r], redGreen[g], blue[b], 0))
            << index;
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 236);
  EXPECT_EQ(std::tuple(GamePalette[9].r, GamePalette[246].r), std::tuple(1, 1)) << "static colours";
  GamePalette = saved;
}

class Sheet : public testing::Test {
 protected:
  void SetUp() override {
    FakeClearDebugLines();
    ASSERT_TRUE(StartTestDisplay());
  }
  void TearDown() override {
    StopTestDisplay();
    FakeRemoveResource("BMP_00", "BITMAP");
    FakeRemoveResource("TEST", "BITMAP");
  }
};

TEST_F(Sheet, NearestColourPrefersTheLowerIndexOnATieAndMatchesEveryEntryItself) {
  EXPECT_TRUE(SameColor(GamePalette[0], PlatformColor{0, 0, 0, 0}));
  EXPECT_TRUE(SameColor(GamePalette[255], PlatformColor{255, 255, 255, 0}));
  EXPECT_EQ(NearestPaletteIndex(255, 255, 255), 255);
  for (int32_t i = 0; i < 256; ++i) {
    const PlatformColor& c = GamePalette[static_cast<size_t>(i)];
    const uint8_t found = NearestPaletteIndex(c.r, c.g, c.b);
    EXPECT_TRUE(SameColor(GamePalette[found], c)) << i;
    EXPECT_LE(found, i);
  }
  EXPECT_EQ(NearestPaletteIndex(8, 0, 0), 0);  // black, not the cube's black at 10
  EXPECT_EQ(NearestPaletteIndex(0, 104, 175), 24);
}

TEST_F(Sheet, TheLoadedTestSheetHoldsItsKnownIndices) {
  ASSERT_NE(SheetSurface, nullptr);
  EXPECT_EQ(SheetSurface->width, 319);
  EXPECT_EQ(SheetSurface->height, 240);
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 319; ++x) ASSERT_EQ(At(SheetSurface, x, y), TestSheetIndex(x, y));
  }
  EXPECT_TRUE(SheetSurface->hasColorKey);
  EXPECT_EQ(SheetSurface->colorKey, 0u);
  EXPECT_TRUE(FakeDebugLines().size() == 3u);  // only the display start's lines
}

// A 4x3 bitmap whose table puts black, a near-black red, pure colours and an odd colour at
// known places; the pixel rows are top first.
std::vector<uint8_t> SmallBitmap(bool fileHeader) {
  const PlatformColor table[6] = {{210, 10, 10, 0},   {0, 0, 0, 0},     {8, 0, 0, 0},
                                  {255, 255, 255, 0}, {0, 109, 170, 0}, {250, 0, 3, 0}};
  const std::vector<uint8_t> pixels = {0, 1, 2, 3,  //
                                       4, 5, 1, 1,  //
                                       3, 3, 0, 2};
  return MakeBitmapBytes(4, 3, table, 6, pixels, fileHeader);
}

void ExpectSmallBitmap(const Surface* s) {
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->width, 4);
  ASSERT_EQ(s->height, 3);
  const uint8_t red = NearestPaletteIndex(210, 10, 10);
  const uint8_t odd = NearestPaletteIndex(250, 0, 3);
  const uint8_t expected[3][4] = {{red, 0, 0, 255}, {24, odd, 0, 0}, {255, 255, red, 0}};
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(At(s, x, y), expected[y][x]) << x << "," << y;
  }
  EXPECT_TRUE(SameColor(GamePalette[red], PlatformColor{218, 0, 0, 0}));
}

TEST_F(Sheet, ResourceBitmapIsConvertedToTheNearestPaletteColours) {
  FakeSetResource("TEST", "BITMAP", SmallBitmap(false));
  Surface* s = gf_DD_LoadBitmap(DisplayObject, "TEST", 0, 0);
  ExpectSmallBitmap(s);
  // Black and the near-black red both become the key and are left out of copies.
  gf_DD_SetColorKey(s, MakeRgb(0, 0, 0));
  gf_DD_ScrFill(ScreenSurface, 77);
  gf_DD_Blt(s, Box{0, 0, 4, 3}, ScreenSurface, Box{0, 0, 4, 3});
  EXPECT_EQ(At(ScreenSurface, 1, 0), 77);
  EXPECT_EQ(At(ScreenSurface, 2, 0), 77);
  EXPECT_EQ(At(ScreenSurface, 3, 0), 255);
}

TEST_F(Sheet, FileIsTriedWhenNoResourceHasTheName) {
  const char* name = "gfx_sheet_test_file.bmp";
  const std::vector<uint8_t> bytes = SmallBitmap(true);
  std::FILE* f = std::fopen(name, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  Surface* s = gf_DD_LoadBitmap(DisplayObject, name, 0, 0);
  std::remove(name);
  ExpectSmallBitmap(s);
}

TEST_F(Sheet, ANameThatIsNeitherResourceNorFileGivesNoSurfaceAndNoMessage) {
  FakeClearDebugLines();
  EXPECT_EQ(gf_DD_LoadBitmap(DisplayObject, "NO_SUCH_BITMAP", 0, 0), nullptr);
  EXPECT_EQ(gf_DD_LoadBitmap(nullptr, "BMP_00", 0, 0), nullptr);
  EXPECT_TRUE(FakeDebugLines().empty());
}

TEST_F(Sheet, CopyBitmapStretchesABoxOverTheWholeSurfaceAndRefusesBoxesOutside) {
  LoadedBitmap bitmap;
  const std::vector<uint8_t> bytes = SmallBitmap(false);
  ASSERT_TRUE(DecodeBitmap(bytes.data(), bytes.size(), false, &bitmap));
  Surface* s = CreateSurface(2, 2);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, 2, 1, 2, 2), DD_OK);
  EXPECT_EQ(At(s, 0, 0), 0);
  EXPECT_EQ(At(s, 1, 1), 0);
  EXPECT_EQ(At(s, 0, 1), NearestPaletteIndex(210, 10, 10));
  gf_DD_ScrFill(s, 9);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, 3, 0, 2, 1), E_FAIL);
  EXPECT_EQ(gf_DD_CopyBitmap(s, &bitmap, -1, 0, 2, 1), E_FAIL);
  EXPECT_EQ(gf_DD_CopyBitmap(nullptr, &bitmap, 0, 0, 0, 0), E_FAIL);
  EXPECT_EQ(gf_DD_CopyBitmap(s, nullptr, 0, 0, 0, 0), E_FAIL);
  EXPECT_EQ(At(s, 0, 0), 9);
  ReleaseSurface(s);
}

TEST_F(Sheet, ColorMatchKeepsPixelZeroAndColourCallsRefuseMissingObjects) {
  Surface* s = CreateSurface(3, 3);
  s->pixels[0] = 123;
  EXPECT_EQ(gf_DD_ColorMatch(s, MakeRgb(0, 109, 170)), 24u);
  EXPECT_EQ(gf_DD_ColorMatch(s, MakeRgb(255, 255, 255)), 255u);
  EXPECT_EQ(gf_DD_ColorMatch(s, MakeRgb(8, 0, 0)), 0u);
  EXPECT_EQ(s->pixels[0], 123);
  EXPECT_EQ(gf_DD_ColorMatch(s, CLR_INVALID), 123u);
  EXPECT_EQ(s->pixels[0], 123);
  EXPECT_EQ(gf_DD_ColorMatch(nullptr, 0), CLR_INVALID);
  EXPECT_EQ(gf_DD_SetColorKey(s, MakeRgb(255, 255, 255)), DD_OK);
  EXPECT_EQ(s->colorKey, 255u);
  EXPECT_EQ(gf_DD_SetColorKey(nullptr, 0), E_FAIL);
  ReleaseSurface(s);
  DisplayPalette palette{};
  EXPECT_EQ(gf_DD_SetPalette(&palette, GamePalette.data()), 1);
  for (int32_t i : {0, 137, 255}) EXPECT_TRUE(SameColor(palette.entries[i], GamePalette[i])) << i;
  EXPECT_EQ(gf_DD_SetPalette(nullptr, GamePalette.data()), 0);
}

// Damaged bitmaps: each case changes the good bytes in one way.
struct Damage {
  const char* name;
  bool fileHeader;
  std::function<void(std::vector<uint8_t>*)> apply;
};

void Put32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    (*b)[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

class DamagedBitmaps : public testing::TestWithParam<Damage> {};

TEST_P(DamagedBitmaps, AreRejected) {
  const Damage& d = GetParam();
  std::vector<uint8_t> bytes = SmallBitmap(d.fileHeader);
  d.apply(&bytes);
  // The vector holds exactly the damaged bytes, so a read past them shows under the sanitizers.
  LoadedBitmap bitmap;
  EXPECT_FALSE(DecodeBitmap(bytes.data(), bytes.size(), d.fileHeader, &bitmap));
}

const size_t H = 14;  // the file header before the information header

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedBitmaps,
    testing::Values(
        Damage{"Empty", false, [](std::vector<uint8_t>* b) { b->clear(); }},
        Damage{"HeaderCutShort", false, [](std::vector<uint8_t>* b) { b->resize(30); }},
        Damage{"FileHeaderOnly", true, [](std::vector<uint8_t>* b) { b->resize(14); }},
        Damage{"NotBM", true, [](std::vector<uint8_t>* b) { (*b)[0] = 'X'; }},
        Damage{"HeaderSize12", false, [](std::vector<uint8_t>* b) { Put32(b, 0, 12); }},
        Damage{"HeaderSizeHuge", false, [](std::vector<uint8_t>* b) { Put32(b, 0, 0x7FFFFFFF); }},
        Damage{"ZeroWidth", false, [](std::vector<uint8_t>* b) { Put32(b, 4, 0); }},
        Damage{"NegativeWidth", false, [](std::vector<uint8_t>* b) { Put32(b, 4, 0xFFFFFFFC); }},
        Damage{"ZeroHeight", false, [](std::vector<uint8_t>* b) { Put32(b, 8, 0); }},
        Damage{"MostNegativeHeight", false,
               [](std::vector<uint8_t>* b) { Put32(b, 8, 0x80000000u); }},
        Damage{"HugeSize", false, [](std::vector<uint8_t>* b) { Put32(b, 4, 1000000); }},
        Damage{"TooTallForItsRows", false, [](std::vector<uint8_t>* b) { Put32(b, 8, 4); }},
        Damage{"TwoPlanes", false, [](std::vector<uint8_t>* b) { (*b)[12] = 2; }},
        Damage{"FourBits", false, [](std::vector<uint8_t>* b) { (*b)[14] = 4; }},
        Damage{"TwentyFourBits", false, [](std::vector<uint8_t>* b) { (*b)[14] = 24; }},
        Damage{"RunLengthCompressed", false, [](std::vector<uint8_t>* b) { Put32(b, 16, 1); }},
        Damage{"MoreThan256Colours", false, [](std::vector<uint8_t>* b) { Put32(b, 32, 257); }},
        Damage{"TablePastTheEnd", false, [](std::vector<uint8_t>* b) { Put32(b, 32, 200); }},
        Damage{"LastRowCut", false, [](std::vector<uint8_t>* b) { b->pop_back(); }},
        Damage{"FileRowsCut", true, [](std::vector<uint8_t>* b) { b->resize(b->size() - 4); }},
        Damage{"PixelsOverlapTable", true, [](std::vector<uint8_t>* b) { Put32(b, 10, 60); }},
        Damage{"PixelsPastTheEnd", true,
               [](std::vector<uint8_t>* b) { Put32(b, 10, 0xFFFFFFF0u); }},
        Damage{"FileTableCut", true, [](std::vector<uint8_t>* b) { b->resize(H + 40 + 10); }}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(Bitmaps, TopDownRowsAndShortTablesAreRead) {
  const PlatformColor table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  std::vector<uint8_t> bytes = MakeBitmapBytes(3, 2, table, 2, {0, 1, 1, 1, 0, 0}, false);
  Put32(&bytes, 8, static_cast<uint32_t>(-2));  // rows now read top first
  LoadedBitmap bitmap;
  ASSERT_TRUE(DecodeBitmap(bytes.data(), bytes.size(), false, &bitmap));
  // Stored bottom row first, so read top first the rows swap.
  EXPECT_EQ(bitmap.pixels, (std::vector<uint8_t>{1, 0, 0, 0, 1, 1}));
  EXPECT_TRUE(SameColor(bitmap.table[1], table[1]));
  EXPECT_TRUE(SameColor(bitmap.table[200], PlatformColor{0, 0, 0, 0}));
}

}  // namespace
