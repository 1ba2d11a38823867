// Bitmap-font text: glyph boxes on the sheet, where each lands and how far the pen moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/font_text.h"
#include "platform/fake/fake_platform.h"
#include "support/case_name.h"
#include "support/test_sheet.h"

namespace {

uint8_t At(const Surface* s, int32_t x, int32_t y) { return s->pixels[y * s->pitch + x]; }

class Text : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartTestDisplay()); }
  void TearDown() override {
    StopTestDisplay();
    FakeRemoveResource("BMP_00", "BITMAP");
  }
  // The screen equals the sheet box (sx, sy, w, h) at (dx, dy).
  void ExpectBox(int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx, int32_t dy) {
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        ASSERT_EQ(At(ScreenSurface, dx + x, dy + y), TestSheetIndex(sx + x, sy + y))
            << "screen " << dx + x << "," << dy + y;
      }
    }
  }
  int32_t RightmostDrawnColumn() {
    for (int32_t x = 319; x >= 0; --x) {
      for (int32_t y = 0; y < 240; ++y) {
        if (At(ScreenSurface, x, y) != 0) return x;
      }
    }
    return -1;
  }
};

struct Advance {
  const char* text;
  int32_t width;
};

void PrintTo(const Advance& a, std::ostream* os) { *os << '"' << a.text << '"'; }

class PenAdvance : public Text, public testing::WithParamInterface<Advance> {};

TEST_P(PenAdvance, MatchesTheGlyphWidths) {
  const Advance& a = GetParam();
  EXPECT_EQ(TextWidth(a.text), a.width);
  EXPECT_EQ(gf_TextDraw(a.text, 0, 100), 1);
  // Each of these ends with a letter, whose last column is the text's last.
  EXPECT_EQ(RightmostDrawnColumn(), a.width - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PenAdvance,
    testing::Values(Advance{"GOOD LUCK", 85}, Advance{"PLEASE PRESS START", 163}, Advance{"AB", 20},
                    Advance{"MISSION 10A", 103}, Advance{"W I", 29}, Advance{"Ab-%.A", 20}),
    [](const auto& info) { return CaseName(info.param.text) + std::to_string(info.index); });

TEST_F(Text, LettersAreCopiedFromTheirBoxesSideBySide) {
  gf_TextDraw("AB", 0, 0);
  ExpectBox(0, 0, 10, 16, 0, 0);
  ExpectBox(11, 0, 10, 16, 10, 0);
  EXPECT_EQ(At(ScreenSurface, 20, 0), 0);
  EXPECT_EQ(At(ScreenSurface, 0, 16), 0);
}

TEST_F(Text, EveryLetterUsesItsTableBox) {
  int32_t pen = 0;
  std::string all;
  for (char c = 'A'; c <= 'Z'; ++c) all += c;
  gf_TextDraw(all.substr(0, 13).c_str(), 0, 0);
  gf_TextDraw(all.substr(13).c_str(), 0, 40);
  for (char c = 'A'; c <= 'Z'; ++c) {
    if (c == 'N') pen = 0;
    const int32_t w = FontTable[static_cast<size_t>(c) + 1] - FontTable[static_cast<size_t>(c)] - 1;
    ExpectBox(FontTable[static_cast<size_t>(c)], 0, w, 16, pen, c < 'N' ? 0 : 40);
    pen += w;
  }
}

TEST_F(Text, ADigitIsStretchedFromTenToElevenColumns) {
  gf_TextDraw("7", 100, 50);
  EXPECT_EQ(At(ScreenSurface, 99, 50), 0);
  EXPECT_EQ(At(ScreenSurface, 111, 50), 0);
  EXPECT_EQ(At(ScreenSurface, 100, 49), 0);
  EXPECT_EQ(At(ScreenSurface, 100, 66), 0);
  for (int32_t y = 0; y < 16; ++y) {
    // The eleven columns repeat one of the sheet's columns 77..86 and keep their order.
    int32_t source = 77;
    for (int32_t x = 0; x < 11; ++x) {
      const uint8_t v = At(ScreenSurface, 100 + x, 50 + y);
      if (v != TestSheetIndex(source, 16 + y)) ++source;
      ASSERT_EQ(v, TestSheetIndex(source, 16 + y)) << x << "," << y;
    }
    EXPECT_EQ(source, 86);
  }
}

TEST_F(Text, TheNextCharacterCoversADigitsEleventhColumn) {
  gf_TextDraw("1A", 0, 0);
  ExpectBox(0, 0, 10, 16, 10, 0);
}

TEST_F(Text, SkippedCharactersDrawNothingAndTakeNoRoom) {
  gf_TextDraw("ENELGY 5", 0, 0);
  std::vector<uint8_t> plain(ScreenSurface->pixels, ScreenSurface->pixels + 320 * 240);
  gf_DD_ScrFill(ScreenSurface, 0);
  gf_TextDraw("ENELGY -5", 0, 0);
  EXPECT_EQ(std::vector<uint8_t>(ScreenSurface->pixels, ScreenSurface->pixels + 320 * 240), plain);
  gf_DD_ScrFill(ScreenSurface, 0);
  EXPECT_EQ(gf_TextDraw("", 5, 5), 1);
  EXPECT_EQ(gf_TextDraw(nullptr, 5, 5), 1);
  EXPECT_EQ(RightmostDrawnColumn(), -1);
}

TEST_F(Text, TextOffTheScreenIsClippedNotMoved) {
  gf_TextDraw("AB", -5, 230);
  ExpectBox(5, 0, 5, 10, 0, 230);
  ExpectBox(11, 0, 10, 10, 5, 230);
}

TEST_F(Text, WithoutASheetEachGlyphReportsTheMissingSourceAndDrawsNothing) {
  Surface* sheet = SheetSurface;
  SheetSurface = nullptr;
  FakeClearDebugLines();
  EXPECT_EQ(gf_TextDraw("A 1-b", 0, 0), 1);
  SheetSurface = sheet;
  const std::string message = "gf_DD_Blt:転送元ｻｰﾌｪｰｽ情報が壊れています\n";
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{message, message}));
  EXPECT_EQ(RightmostDrawnColumn(), -1);
}

}  // namespace
