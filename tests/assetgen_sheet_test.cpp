// The generated sheet and icon: their formats, that the game loads them, that every picture sits
// in its box, that the font fits its cells, that colours survive the conversion, and that the
// generator writes the same bytes every time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/icon_image.h"
#include "gfx/display.h"
#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "platform/fake/fake_platform.h"

namespace {
namespace fs = std::filesystem;

// Written by the build into its own folder, where the tests run.
const char* const kResourcePath = "assets/resources/BITMAP/BMP_00";
const char* const kFilePath = "assets/BMP_00";
const char* const kIconPath = "assets/resources/ICON/ICN_01";

constexpr int kWidth = 319, kHeight = 240, kStride = 320;
constexpr size_t kTableOffset = 40, kPixelOffset = 40 + 1024;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

struct Colour {
  int r, g, b;
};

// The sheet as stored: colour-table entry of each pixel, rows top first.
struct Sheet {
  std::vector<uint8_t> bytes;
  Colour TableEntry(int i) const {
    const size_t at = kTableOffset + 4 * static_cast<size_t>(i);
    return {bytes[at + 2], bytes[at + 1], bytes[at]};
  }
  int Index(int x, int y) const {
    return bytes[kPixelOffset + static_cast<size_t>(kHeight - 1 - y) * kStride + x];
  }
  Colour At(int x, int y) const { return TableEntry(Index(x, y)); }
  bool Ink(int x, int y) const {
    const Colour c = At(x, y);
    return c.r + c.g + c.b != 0;
  }
};

// Read once; a missing or short file is reported and read as a blank sheet, never past its end.
const Sheet& TheSheet() {
  static const Sheet sheet = [] {
    Sheet s{ReadAll(kResourcePath)};
    if (s.bytes.size() != kPixelOffset + static_cast<size_t>(kStride) * kHeight) {
      ADD_FAILURE() << kResourcePath << " is missing or has the wrong size (run from the build)";
      s.bytes.resize(kPixelOffset + static_cast<size_t>(kStride) * kHeight);
    }
    return s;
  }();
  return sheet;
}

struct SheetBox {
  const char* name;
  int x, y, w, h;
};

// Every box the game copies a picture from, apart from the font's cells.
constexpr SheetBox kPictures[] = {
    {"grey title", 0, 32, 176, 48},    {"coloured title", 0, 80, 176, 64},
    {"maker logo", 0, 144, 176, 32},   {"game over", 0, 176, 160, 32},
    {"sun", 176, 32, 47, 47},          {"earth", 224, 32, 47, 47},
    {"moon", 272, 32, 47, 47},         {"red object", 176, 80, 64, 48},
    {"green object", 240, 80, 64, 48}, {"blue object", 176, 128, 64, 48},
    {"rock", 240, 128, 64, 48},        {"explosion 0", 176, 176, 32, 32},
    {"explosion 1", 208, 176, 32, 32}, {"explosion 2", 240, 176, 32, 32},
    {"explosion 3", 272, 176, 32, 32}, {"boss", 176, 208, 32, 32},
    {"sparkle 0", 240, 208, 31, 31},   {"sparkle 1", 272, 208, 31, 31},
};
constexpr SheetBox kRadar{"radar", 0, 208, 22, 32};

constexpr int kLetterX[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,  95,  106, 118, 127, 142,
                              155, 165, 177, 188, 199, 208, 218, 229, 240, 255, 266, 277, 288};

std::vector<SheetBox> FontCells() {
  std::vector<SheetBox> cells;
  for (int i = 0; i < 26; ++i)
    cells.push_back({"letter", kLetterX[i], 0, kLetterX[i + 1] - kLetterX[i] - 1, 16});
  for (int d = 0; d < 10; ++d) cells.push_back({"digit", 11 * d, 16, 10, 16});
  return cells;
}

bool InBox(const SheetBox& b, int x, int y) {
  return x >= b.x && y >= b.y && x < b.x + b.w && y < b.y + b.h;
}

// Count and extent of the pixels in a w x h area for which `ink(x, y)` holds.
struct Extent {
  int count = 0, width = 0, height = 0;
};
template <typename F>
Extent InkExtent(int w, int h, F ink) {
  int count = 0, left = w, right = -1, top = h, bottom = -1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!ink(x, y)) continue;
      ++count;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  return {count, right - left + 1, bottom - top + 1};
}

int InkCount(const SheetBox& b) {
  return InkExtent(b.w, b.h, [&](int x, int y) { return TheSheet().Ink(b.x + x, b.y + y); }).count;
}

struct Average {
  int r = 0, g = 0, b = 0, light = 0;
};

// Mean colour of the inked pixels of a box.
Average MeanInk(const SheetBox& b) {
  Average a;
  int64_t r = 0, g = 0, bl = 0, n = 0;
  for (int y = b.y; y < b.y + b.h; ++y) {
    for (int x = b.x; x < b.x + b.w; ++x) {
      if (!TheSheet().Ink(x, y)) continue;
      const Colour c = TheSheet().At(x, y);
      r += c.r;
      g += c.g;
      bl += c.b;
      ++n;
    }
  }
  if (n == 0) return a;
  a.r = static_cast<int>(r / n);
  a.g = static_cast<int>(g / n);
  a.b = static_cast<int>(bl / n);
  a.light = (a.r + a.g + a.b) / 3;
  return a;
}

TEST(AssetgenSheet, ResourceHasTheDocumentedHeaderAndSize) {
  const std::vector<uint8_t> b = ReadAll(kResourcePath);
  ASSERT_EQ(b.size(), 40u + 256u * 4u + 240u * 320u);
  const struct {
    size_t at, bytes;
    uint32_t value;
  } fields[] = {{0, 4, 40}, {4, 4, 319},   {8, 4, 240},   {12, 2, 1}, {14, 2, 8}, {16, 4, 0},
                {20, 4, 0}, {24, 4, 2834}, {28, 4, 2834}, {32, 4, 0}, {36, 4, 0}};
  for (const auto& f : fields) {
    EXPECT_EQ(f.bytes == 4 ? Le32(b, f.at) : Le16(b, f.at), f.value) << "field at " << f.at;
  }
  const Colour first = TheSheet().TableEntry(0);
  EXPECT_EQ(first.r + first.g + first.b, 0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(b[kTableOffset + 4 * i + 3], 0) << "table entry " << i;
  for (int y = 0; y < kHeight; ++y) EXPECT_EQ(b[kPixelOffset + y * kStride + kWidth], 0) << y;
}

TEST(AssetgenSheet, FileFormIsTheResourceBehindAFileHeader) {
  const std::vector<uint8_t> file = ReadAll(kFilePath);
  const std::vector<uint8_t>& res = TheSheet().bytes;
  ASSERT_EQ(file.size(), res.size() + 14);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Le32(file, 2), file.size());
  EXPECT_EQ(Le32(file, 6), 0u);
  EXPECT_EQ(Le32(file, 10), 14u + kPixelOffset);
  EXPECT_TRUE(std::equal(res.begin(), res.end(), file.begin() + 14));
}

TEST(AssetgenSheet, EveryPictureHasInkInItsBoxAndNothingLiesOutside) {
  for (const SheetBox& b : kPictures) {
    // A picture worth the name covers a good part of its box, even the thin sparkles.
    EXPECT_GE(InkCount(b) * 8, b.w * b.h) << b.name;
  }
  const std::vector<SheetBox> cells = FontCells();
  for (const SheetBox& c : cells) EXPECT_GE(InkCount(c) * 3, c.w * c.h) << c.name << " at " << c.x;
  int stray = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool inside = false;
      for (const SheetBox& b : kPictures) inside = inside || InBox(b, x, y);
      for (const SheetBox& c : cells) inside = inside || InBox(c, x, y);
      if (!inside && TheSheet().Ink(x, y)) ++stray;
    }
  }
  EXPECT_EQ(stray, 0);
  EXPECT_EQ(InkCount(kRadar), 0);
}

TEST(AssetgenSheet, GlyphsLeaveTheUnusedColumnAndFillMostOfTheirCells) {
  for (const SheetBox& c : FontCells()) {
    for (int y = c.y; y < c.y + c.h; ++y) {
      EXPECT_FALSE(TheSheet().Ink(c.x + c.w, y)) << c.name << " at " << c.x << ", row " << y;
    }
    const Extent e =
        InkExtent(c.w, c.h, [&](int x, int y) { return TheSheet().Ink(c.x + x, c.y + y); });
    EXPECT_GE(e.width * 5, c.w * 4) << c.name << " at " << c.x;
    EXPECT_GE(e.height * 5, c.h * 4) << c.name << " at " << c.x;
  }
}

TEST(AssetgenSheet, EveryTableColourSurvivesTheConversionAndOnlyBlackBecomesTheKey) {
  FillColorCube();
  for (int i = 0; i < 256; ++i) {
    const Colour c = TheSheet().TableEntry(i);
    const uint8_t index = NearestPaletteIndex(static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                              static_cast<uint8_t>(c.b));
    const PlatformColor& p = GamePalette[index];
    EXPECT_EQ(p.r, c.r) << "entry " << i;
    EXPECT_EQ(p.g, c.g) << "entry " << i;
    EXPECT_EQ(p.b, c.b) << "entry " << i;
    // A dark shadow that fell onto black would turn transparent.
    EXPECT_EQ(index == NearestPaletteIndex(0, 0, 0), c.r + c.g + c.b == 0) << "entry " << i;
  }
}

class AssetgenSheetLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeDisplayReset();
    FakeRemoveResource("BMP_00", "BITMAP");
    ASSERT_EQ(gf_DD_Startup(), 1);
  }
  void TearDown() override { gf_DD_Release(1); }

  // Each pixel of the loaded surface shows exactly the colour the bitmap stored there.
  static void ExpectSameColours(const Surface* s) {
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->width, kWidth);
    ASSERT_EQ(s->height, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const PlatformColor& p = GamePalette[s->pixels[y * s->pitch + x]];
        const Colour c = TheSheet().At(x, y);
        ASSERT_TRUE(p.r == c.r && p.g == c.g && p.b == c.b) << x << ", " << y;
      }
    }
  }
};

TEST_F(AssetgenSheetLoad, EmbeddedAndFileFormsLoadAsTheGeneratedSheet) {
  ExpectSameColours(gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0));
  const std::string name = "assetgen_sheet_test_" + std::to_string(getpid()) + ".bmp";
  fs::copy_file(kFilePath, name, fs::copy_options::overwrite_existing);
  Surface* s = gf_DD_LoadBitmap(DisplayObject, name.c_str(), 0, 0);
  fs::remove(name);
  ExpectSameColours(s);
}

TEST_F(AssetgenSheetLoad, PicturesStayWholeWhenTheGameShrinksThem) {
  Surface* sheet = gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0);
  ASSERT_NE(sheet, nullptr);
  gf_DD_SetColorKey(sheet, MakeRgb(0, 0, 0));
  // Sparkles go down to 17 pixels, pulsing objects to 61 per cent of their size.
  const struct {
    SheetBox box;
    int w, h;
  } cases[] = {{kPictures[16], 17, 17},
               {kPictures[17], 17, 17},
               {kPictures[7], 39, 29},
               {kPictures[8], 39, 29},
               {kPictures[9], 39, 29}};
  for (const auto& c : cases) {
    gf_DD_ScrFill(ScreenSurface, 0);
    gf_DD_Blt(sheet, ::Box{c.box.x, c.box.y, c.box.w, c.box.h}, ScreenSurface,
              ::Box{8, 8, c.w, c.h});
    const Extent e = InkExtent(64, 64, [](int x, int y) {
      return ScreenSurface->pixels[y * ScreenSurface->pitch + x] != 0;
    });
    EXPECT_GE(e.count * 8, c.w * c.h) << c.box.name;
    EXPECT_GE(e.width * 10, c.w * 7) << c.box.name;
    EXPECT_GE(e.height * 10, c.h * 7) << c.box.name;
  }
}

TEST(AssetgenSheet, NoTwoGlyphsLookAlike) {
  const std::vector<SheetBox> cells = FontCells();
  auto same = [](const SheetBox& a, const SheetBox& b) {
    if (a.w != b.w) return false;
    for (int y = 0; y < a.h; ++y) {
      for (int x = 0; x < a.w; ++x) {
        if (TheSheet().Index(a.x + x, a.y + y) != TheSheet().Index(b.x + x, b.y + y)) return false;
      }
    }
    return true;
  };
  for (size_t i = 0; i < cells.size(); ++i) {
    for (size_t j = i + 1; j < cells.size(); ++j) {
      EXPECT_FALSE(same(cells[i], cells[j])) << "cells at " << cells[i].x << "," << cells[i].y
                                             << " and " << cells[j].x << "," << cells[j].y;
    }
  }
}

TEST(AssetgenSheet, PicturesHaveTheirOwnColoursAndGlobesAreLitFromTheTopLeft) {
  const Average red = MeanInk(kPictures[7]), green = MeanInk(kPictures[8]);
  const Average blue = MeanInk(kPictures[9]), rock = MeanInk(kPictures[10]);
  const Average sun = MeanInk(kPictures[4]), earth = MeanInk(kPictures[5]);
  const Average moon = MeanInk(kPictures[6]);
  EXPECT_GT(red.r, 2 * std::max(red.g, red.b));
  EXPECT_GT(green.g, 2 * std::max(green.r, green.b));
  EXPECT_GT(blue.b, std::max(blue.r, blue.g) + 40);
  EXPECT_GT(sun.r, sun.b + 100);
  EXPECT_GT(sun.g, sun.b);
  EXPECT_GT(earth.b, earth.r + 40);
  for (const Average& grey : {rock, moon}) {
    EXPECT_LT(std::max({grey.r, grey.g, grey.b}) - std::min({grey.r, grey.g, grey.b}), 40);
  }
  for (int i = 4; i <= 6; ++i) {
    const SheetBox& g = kPictures[i];
    const Average upperLeft = MeanInk({g.name, g.x, g.y, g.w / 2, g.h / 2});
    const Average lowerRight =
        MeanInk({g.name, g.x + g.w / 2, g.y + g.h / 2, g.w - g.w / 2, g.h - g.h / 2});
    EXPECT_GT(upperLeft.light, lowerRight.light + 20) << g.name;
  }
}

TEST(AssetgenSheet, GlyphBodiesAreFencedByADarkEdge) {
  // On the HUD's white stipple a bright letter stays readable only inside a dark rim: no bright
  // pixel may touch the background directly.
  for (const SheetBox& c : FontCells()) {
    int bright = 0;
    for (int y = c.y; y < c.y + c.h; ++y) {
      for (int x = c.x; x < c.x + c.w; ++x) {
        const Colour p = TheSheet().At(x, y);
        if (p.r + p.g + p.b < 3 * 140) continue;
        ++bright;
        for (int j = -1; j <= 1; ++j) {
          for (int i = -1; i <= 1; ++i) {
            const bool inCell = InBox(c, x + i, y + j);
            EXPECT_TRUE(inCell && TheSheet().Ink(x + i, y + j))
                << c.name << " at " << c.x << ": bright pixel " << x << "," << y << " is exposed";
          }
        }
      }
    }
    EXPECT_GE(bright, 8) << c.name << " at " << c.x;
  }
}

TEST(AssetgenSheet, ExplosionFramesGrowAndFade) {
  for (int f = 11; f < 14; ++f) {
    const SheetBox& now = kPictures[f];
    const SheetBox& next = kPictures[f + 1];
    EXPECT_TRUE(f == 13 || InkCount(now) < InkCount(next)) << next.name << " does not grow";
    EXPECT_GT(MeanInk(now).light, MeanInk(next).light) << next.name;
  }
}

TEST(AssetgenSheet, IconDecodesAsTheWindowWantsIt) {
  const std::vector<uint8_t> bytes = ReadAll(kIconPath);
  IconImage icon;
  ASSERT_TRUE(DecodeIcon(bytes.data(), bytes.size(), &icon));
  ASSERT_EQ(icon.width, 48);
  ASSERT_EQ(icon.height, 48);
  auto alpha = [&](int x, int y) { return icon.rgba[(static_cast<size_t>(y) * 48 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(alpha(47, 0), 0);
  EXPECT_EQ(alpha(24, 24), 255);
  int opaque = 0;
  for (size_t at = 0; at < icon.rgba.size(); at += 4) {
    const bool dark = icon.rgba[at] == 0 && icon.rgba[at + 1] == 0 && icon.rgba[at + 2] == 0;
    EXPECT_EQ(icon.rgba[at + 3], dark ? 0 : 255) << "pixel " << at / 4;
    opaque += icon.rgba[at + 3] == 255 ? 1 : 0;
  }
  EXPECT_GT(opaque, 48 * 48 / 2);
}

TEST(AssetgenSheet, GeneratorWritesTheSameBytesOnEveryRun) {
  const fs::path base =
      fs::temp_directory_path() / ("assetgen_sheet_test_" + std::to_string(getpid()));
  const fs::path runs[2] = {base / "a", base / "b"};
  for (const fs::path& out : runs) {
    fs::create_directories(out);
    const std::string command = "./tools/assetgen '" + out.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  for (const char* file : {"resources/BITMAP/BMP_00", "BMP_00", "resources/ICON/ICN_01"}) {
    const std::vector<uint8_t> first = ReadAll(runs[0] / file);
    EXPECT_FALSE(first.empty()) << file;
    EXPECT_EQ(first, ReadAll(runs[1] / file)) << file;
    // And the build embedded the same picture.
    EXPECT_EQ(first, ReadAll(fs::path("assets") / file)) << file;
  }
  fs::remove_all(base);
}

}  // namespace
