// Bitmap-font text: glyph boxes on the sheet, where each lands and how far the pen moves.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/display.h"
#include "gfx/font_text.h"
#include "platform/fake/fake_platform.h"
#include "support/test_sheet.h"

namespace {

uint8_t At(int32_t x, int32_t y) { return ScreenSurface->pixels[y * ScreenSurface->pitch + x]; }

class Text : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(StartTestDisplay()); }
  void TearDown() override {
    StopTestDisplay();
    FakeRemoveResource("BMP_00", "BITMAP");
  }
  // The screen equals the sheet box (sx, sy, w, 16) at (dx, dy).
  static void ExpectGlyph(int32_t sx, int32_t sy, int32_t w, int32_t dx, int32_t dy) {
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        ASSERT_EQ(At(dx + x, dy + y), TestSheetIndex(sx + x, sy + y)) << dx + x << "," << dy + y;
      }
    }
  }
  static int32_t RightmostDrawnColumn() {
    for (int32_t x = 319; x >= 0; --x) {
      for (int32_t y = 0; y < 240; ++y) {
        if (At(x, y) != 0) return x;
      }
    }
    return -1;
  }
};

TEST_F(Text, ThePenMovesByTheGlyphWidthsAndSkipsUnknownCharacters) {
  const std::pair<const char*, int32_t> cases[] = {
      {"GOOD LUCK", 85}, {"MISSION 10A", 103}, {"Ab-%.A", 20}, {"", 0}};
  for (const auto& [text, width] : cases) {
    gf_DD_ScrFill(ScreenSurface, 0);
    EXPECT_EQ(TextWidth(text), width) << text;
    EXPECT_EQ(gf_TextDraw(text, 0, 100), 1);
    EXPECT_EQ(RightmostDrawnColumn(), width - 1) << text;  // each ends with a letter
  }
  EXPECT_EQ(gf_TextDraw(nullptr, 5, 5), 1);
}

// Letters come from their boxes in the sheet's top row; a digit is its ten columns of the second
// row stretched to eleven, and the next character covers the last one.
TEST_F(Text, GlyphsAreCopiedFromTheirSheetBoxes) {
  gf_TextDraw("AZ7", 0, 0);
  ExpectGlyph(FontTable['A'], 0, FontTable['B'] - FontTable['A'] - 1, 0, 0);
  ExpectGlyph(FontTable['Z'], 0, FontTable['Z' + 1] - FontTable['Z'] - 1, 10, 0);
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 11; ++x) {
      ASSERT_EQ(At(20 + x, y), TestSheetIndex(77 + (2 * x + 1) * 10 / 22, 16 + y)) << x;
    }
  }
  EXPECT_EQ(std::vector<uint8_t>({At(31, 0), At(0, 16)}), std::vector<uint8_t>(2, 0));
  gf_TextDraw("1A", 0, 100);
  ExpectGlyph(0, 0, 10, 10, 100);
}

}  // namespace
