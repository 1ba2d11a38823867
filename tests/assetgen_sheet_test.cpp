// The generated sheet: every picture in its box, the font in its cells, colours that survive the
// conversion to the game's palette, both forms loading in the game; and a generator that writes
// the same bytes on every run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/display.h"
#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "platform/fake/fake_platform.h"

namespace {
namespace fs = std::filesystem;

// Written by the build into its own folder, where the tests run.
const char* const kResourcePath = "assets/resources/BITMAP/BMP_00";
const char* const kFilePath = "assets/BMP_00";

constexpr int kWidth = 319, kHeight = 240, kStride = 320;
constexpr size_t kTableOffset = 40, kPixelOffset = 40 + 1024;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The sheet as stored: a colour-table entry for each pixel, rows bottom first.
struct Sheet {
  std::vector<uint8_t> bytes;
  PlatformColor TableEntry(int i) const {
    const size_t at = kTableOffset + 4 * static_cast<size_t>(i);
    return {bytes[at + 2], bytes[at + 1], bytes[at], 0};
  }
  int Index(int x, int y) const {
    return bytes[kPixelOffset + static_cast<size_t>(kHeight - 1 - y) * kStride + x];
  }
  PlatformColor At(int x, int y) const { return TableEntry(Index(x, y)); }
  bool Ink(int x, int y) const {
    const PlatformColor c = At(x, y);
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
constexpr SheetBox kRadar{"radar", 0, 208, 22, 32};  // drawn by the game, left empty

// Letters A to Z on the top row, each with an unused column after it; digits below.
std::vector<SheetBox> FontCells() {
  constexpr int kLetterX[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                95,  106, 118, 127, 142, 155, 165, 177, 188,
                                199, 208, 218, 229, 240, 255, 266, 277, 288};
  std::vector<SheetBox> cells;
  for (int i = 0; i < 26; ++i)
    cells.push_back({"letter", kLetterX[i], 0, kLetterX[i + 1] - kLetterX[i] - 1, 16});
  for (int d = 0; d < 10; ++d) cells.push_back({"digit", 11 * d, 16, 10, 16});
  return cells;
}

bool InBox(const SheetBox& b, int x, int y) {
  return x >= b.x && y >= b.y && x < b.x + b.w && y < b.y + b.h;
}

int InkCount(const SheetBox& b) {
  int count = 0;
  for (int y = b.y; y < b.y + b.h; ++y)
    for (int x = b.x; x < b.x + b.w; ++x) count += TheSheet().Ink(x, y);
  return count;
}

TEST(AssetgenSheet, EveryPictureAndGlyphFillsItsBoxAndNothingLiesOutside) {
  const std::vector<SheetBox> cells = FontCells();
  // A picture worth the name covers a good part of its box, even the thin sparkles.
  for (const SheetBox& b : kPictures) EXPECT_GE(InkCount(b) * 8, b.w * b.h) << b.name;
  for (const SheetBox& c : cells) EXPECT_GE(InkCount(c) * 3, c.w * c.h) << c.name << " " << c.x;
  int stray = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool inside = false;
      for (const SheetBox& b : kPictures) inside = inside || InBox(b, x, y);
      for (const SheetBox& c : cells) inside = inside || InBox(c, x, y);
      stray += !inside && TheSheet().Ink(x, y);
    }
  }
  EXPECT_EQ(stray, 0) << "ink outside the boxes, in the font's spacing columns or the radar";
  EXPECT_EQ(InkCount(kRadar), 0);
}

// The text writer tells glyphs apart only by where they are: a copied glyph would misspell.
TEST(AssetgenSheet, NoTwoGlyphsAreAlike) {
  const std::vector<SheetBox> cells = FontCells();
  auto same = [](const SheetBox& a, const SheetBox& b) {
    if (a.w != b.w) return false;
    for (int y = 0; y < a.h; ++y)
      for (int x = 0; x < a.w; ++x)
        if (TheSheet().Index(a.x + x, a.y + y) != TheSheet().Index(b.x + x, b.y + y)) return false;
    return true;
  };
  for (size_t i = 0; i < cells.size(); ++i)
    for (size_t j = i + 1; j < cells.size(); ++j)
      EXPECT_FALSE(same(cells[i], cells[j]))
          << cells[i].x << "," << cells[i].y << " and " << cells[j].x << "," << cells[j].y;
}

TEST(AssetgenSheet, EveryTableColourSurvivesTheConversionAndOnlyBlackBecomesTheKey) {
  FillColorCube();
  for (int i = 0; i < 256; ++i) {
    const PlatformColor c = TheSheet().TableEntry(i);
    const uint8_t index = NearestPaletteIndex(c.r, c.g, c.b);
    const PlatformColor& p = GamePalette[index];
    EXPECT_TRUE(p.r == c.r && p.g == c.g && p.b == c.b) << "entry " << i;
    // A dark shadow that fell onto black would turn transparent.
    EXPECT_EQ(index == NearestPaletteIndex(0, 0, 0), c.r + c.g + c.b == 0) << "entry " << i;
  }
}

// Each pixel of the loaded surface shows exactly the colour the bitmap stored there.
void ExpectSameColours(const Surface* s) {
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(std::tuple(s->width, s->height), std::tuple(kWidth, kHeight));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const PlatformColor& p = GamePalette[s->pixels[y * s->pitch + x]];
      const PlatformColor c = TheSheet().At(x, y);
      ASSERT_TRUE(p.r == c.r && p.g == c.g && p.b == c.b) << x << ", " << y;
    }
  }
}

TEST(AssetgenSheet, EmbeddedAndFileFormsLoadAsTheGeneratedSheet) {
  FakeDisplayReset();
  FakeRemoveResource("BMP_00", "BITMAP");
  ASSERT_EQ(gf_DD_Startup(), 1);
  ExpectSameColours(gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0));
  // The file form is the resource behind a file header.
  const std::vector<uint8_t> file = ReadAll(kFilePath);
  std::vector<uint8_t> header{'B', 'M'};
  for (uint32_t v : {static_cast<uint32_t>(file.size()), 0u, uint32_t{14 + kPixelOffset}})
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<uint8_t>(v >> (8 * i)));
  header.insert(header.end(), TheSheet().bytes.begin(), TheSheet().bytes.end());
  EXPECT_EQ(file, header);
  const std::string name = "assetgen_sheet_test_" + std::to_string(getpid()) + ".bmp";
  fs::copy_file(kFilePath, name, fs::copy_options::overwrite_existing);
  Surface* s = gf_DD_LoadBitmap(DisplayObject, name.c_str(), 0, 0);
  fs::remove(name);
  ExpectSameColours(s);
  gf_DD_Release(1);
}

// A second run writes every file (sheet, icon, sounds, songs) exactly as the build's run did.
TEST(Assetgen, WritesTheSameBytesOnEveryRun) {
  const fs::path out = fs::temp_directory_path() / ("assetgen_test_" + std::to_string(getpid()));
  const std::string command = "./tools/assetgen '" + out.string() + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  int files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(out)) {
    if (!e.is_regular_file()) continue;
    const fs::path relative = fs::relative(e.path(), out);
    EXPECT_EQ(ReadAll(e.path()), ReadAll("assets" / relative)) << relative;
    ++files;
  }
  EXPECT_GE(files, 11) << "sheet in two forms, icon, seven songs and the sounds";
  fs::remove_all(out);
}

}  // namespace
