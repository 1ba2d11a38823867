// The generated sheet: every picture in its box, the font in its cells, colours that survive the
// conversion to the game's palette; and a generator that writes the same bytes on every run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/bytes.h"
#include "gfx/display.h"
#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "platform/fake/fake_platform.h"
#include "support/files.h"

namespace {
namespace fs = std::filesystem;

struct SheetBox {
  const char* name;
  int x, y, w, h;
};

// Every box the game copies a picture from, apart from the font's cells. The radar's box at
// (0, 208, 22, 32) is not among them: the game draws the radar itself, so it must stay empty.
constexpr SheetBox PICTURES[] = {
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

// Letters A to Z on the top row, each with an unused column after it; digits below.
std::vector<SheetBox> FontCells() {
  constexpr int LETTER_X[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                95,  106, 118, 127, 142, 155, 165, 177, 188,
                                199, 208, 218, 229, 240, 255, 266, 277, 288};
  std::vector<SheetBox> cells;
  for (int i = 0; i < 26; ++i)
    cells.push_back({"letter", LETTER_X[i], 0, LETTER_X[i + 1] - LETTER_X[i] - 1, 16});
  for (int d = 0; d < 10; ++d) cells.push_back({"digit", 11 * d, 16, 10, 16});
  return cells;
}

bool InBox(const SheetBox& b, int x, int y) {
  return x >= b.x && y >= b.y && x < b.x + b.w && y < b.y + b.h;
}

// The sheet the build embedded, as the game loads it: only black becomes index 0 (see below).
class AssetgenSheet : public testing::Test {
 protected:
  void SetUp() override {
    FakeDisplayReset();
    FakeRemoveResource("BMP_00", "BITMAP");
    ASSERT_EQ(gf_DD_Startup(), 1);
    sheet_ = gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0);
    ASSERT_NE(sheet_, nullptr);
    ASSERT_EQ(std::tuple(sheet_->width, sheet_->height), std::tuple(319, 240));
  }
  void TearDown() override { gf_DD_Release(1); }
  bool Ink(int x, int y) const { return sheet_->pixels[y * sheet_->pitch + x] != 0; }
  int InkCount(const SheetBox& b) const {
    int count = 0;
    for (int y = b.y; y < b.y + b.h; ++y)
      for (int x = b.x; x < b.x + b.w; ++x) count += Ink(x, y);
    return count;
  }
  Surface* sheet_ = nullptr;
};

TEST_F(AssetgenSheet, EveryPictureAndGlyphFillsItsBoxAndNothingLiesOutside) {
  const std::vector<SheetBox> cells = FontCells();
  // A picture worth the name covers a good part of its box, even the thin sparkles.
  for (const SheetBox& b : PICTURES) EXPECT_GE(InkCount(b) * 8, b.w * b.h) << b.name;
  for (const SheetBox& c : cells) EXPECT_GE(InkCount(c) * 3, c.w * c.h) << c.name << " " << c.x;
  int stray = 0;
  for (int y = 0; y < sheet_->height; ++y) {
    for (int x = 0; x < sheet_->width; ++x) {
      bool inside = false;
      for (const SheetBox& b : PICTURES) inside = inside || InBox(b, x, y);
      for (const SheetBox& c : cells) inside = inside || InBox(c, x, y);
      stray += !inside && Ink(x, y);
    }
  }
  EXPECT_EQ(stray, 0) << "ink outside the boxes, in the font's spacing columns or the radar";
}

TEST_F(AssetgenSheet, EveryTableColourSurvivesTheConversionAndOnlyBlackBecomesTheKey) {
  const std::vector<uint8_t> bytes = ReadFileBytes("assets/resources/BITMAP/BMP_00");
  ASSERT_GE(bytes.size(), 40u + 1024u);
  for (int i = 0; i < 256; ++i) {
    const uint8_t* bgr = &bytes[40 + 4 * i];
    const PlatformColor& p = GamePalette[NearestPaletteIndex(bgr[2], bgr[1], bgr[0])];
    EXPECT_TRUE(p.r == bgr[2] && p.g == bgr[1] && p.b == bgr[0]) << "entry " << i;
    // A dark shadow that fell onto black would turn transparent.
    EXPECT_EQ(NearestPaletteIndex(bgr[2], bgr[1], bgr[0]) == 0, bgr[0] + bgr[1] + bgr[2] == 0) << i;
  }
}

// The resource is the documented header, table and rows; the file form is the same bytes behind
// a file header, and the game's file path loads it to the same pixels.
TEST_F(AssetgenSheet, FileFormIsTheResourceBehindAFileHeaderAndLoadsAlike) {
  const std::vector<uint8_t> res = ReadFileBytes("assets/resources/BITMAP/BMP_00");
  const std::vector<uint8_t> file = ReadFileBytes("assets/BMP_00");
  ASSERT_EQ(res.size(), 40u + 1024u + 320u * 240u);
  EXPECT_EQ(std::tuple(ReadLe32(&res[0]), ReadLe32(&res[4]), ReadLe32(&res[8])),
            std::tuple(40u, 319u, 240u));
  ASSERT_EQ(file.size(), res.size() + 14);
  EXPECT_EQ(std::tuple(file[0], file[1], ReadLe32(&file[2]), ReadLe32(&file[10])),
            std::tuple('B', 'M', static_cast<uint32_t>(file.size()), 14u + 40u + 1024u));
  EXPECT_TRUE(std::equal(res.begin(), res.end(), file.begin() + 14));
  FakeUseEmbeddedResources(false);
  Surface* fromFile = gf_DD_LoadBitmap(DisplayObject, "assets/BMP_00", 0, 0);
  FakeUseEmbeddedResources(true);
  ASSERT_NE(fromFile, nullptr);
  for (int y = 0; y < 240; ++y) {
    ASSERT_TRUE(std::equal(sheet_->pixels + y * sheet_->pitch,
                           sheet_->pixels + y * sheet_->pitch + 319,
                           fromFile->pixels + y * fromFile->pitch))
        << "row " << y;
  }
}

// A second run writes every file (sheet, icon, sounds, songs) exactly as the build's run did.
TEST(Assetgen, WritesTheSameBytesOnEveryRun) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows build embeds the assets of the build machine's generator";
#endif
  const fs::path out = fs::temp_directory_path() / ("assetgen_test_" + std::to_string(getpid()));
  const std::string command = "./tools/assetgen '" + out.string() + "' > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  int files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(out)) {
    if (!e.is_regular_file()) continue;
    const fs::path relative = fs::relative(e.path(), out);
    EXPECT_EQ(ReadFileBytes(e.path().string()), ReadFileBytes(("assets" / relative).string()))
        << relative;
    ++files;
  }
  EXPECT_GE(files, 11) << "sheet in two forms, icon, seven songs and the sounds";
  fs::remove_all(out);
}

}  // namespace
