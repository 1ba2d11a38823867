// Text in the sheet's bitmap font: letters from the top row, digits from the second, blanks.
#include "gfx/font_text.h"

#include <cstddef>

#include "gfx/surface.h"

namespace {

constexpr std::array<int32_t, 92> BuildFontTable() {
  constexpr int32_t starts[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                  95,  106, 118, 127, 142, 155, 165, 177, 188,
                                  199, 208, 218, 229, 240, 255, 266, 277, 288};
  std::array<int32_t, 92> table{};
  for (int i = 0; i < 27; ++i) table[static_cast<size_t>('A' + i)] = starts[i];
  return table;
}

}  // namespace

constinit const std::array<int32_t, 92> FontTable = BuildFontTable();

namespace {

constexpr int32_t GLYPH_HEIGHT = 16;
constexpr int32_t DIGIT_PITCH = 11;
constexpr int32_t DIGIT_WIDTH = 10;
constexpr int32_t BLANK_ADVANCE = 8;

int32_t LetterWidth(char c) {
  return FontTable[static_cast<size_t>(c) + 1] - FontTable[static_cast<size_t>(c)] - 1;
}

}  // namespace

int32_t gf_TextDraw(const char* text, int32_t x, int32_t y) {
  if (text == nullptr) return 1;
  int32_t pen = x;
  for (const char* p = text; *p != '\0'; ++p) {
    const char c = *p;
    Box source, dest;
    if (c >= 'A' && c <= 'Z') {
      const int32_t w = LetterWidth(c);
      SetRect4(&source, FontTable[static_cast<size_t>(c)], 0, w, GLYPH_HEIGHT);
      SetRect4(&dest, pen, y, w, GLYPH_HEIGHT);
      gf_DD_Blt(SheetSurface, source, ScreenSurface, dest);
      pen += w;
    } else if (c >= '0' && c <= '9') {
      // The digit is stretched one column wider; the next character covers that column.
      SetRect4(&source, DIGIT_PITCH * (c - '0'), GLYPH_HEIGHT, DIGIT_WIDTH, GLYPH_HEIGHT);
      SetRect4(&dest, pen, y, DIGIT_PITCH, GLYPH_HEIGHT);
      gf_DD_Blt(SheetSurface, source, ScreenSurface, dest);
      pen += DIGIT_WIDTH;
    } else if (c == ' ') {
      pen += BLANK_ADVANCE;
    }
  }
  return 1;
}

int32_t TextWidth(const char* text) {
  int32_t width = 0;
  for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
    const char c = *p;
    if (c >= 'A' && c <= 'Z') {
      width += LetterWidth(c);
    } else if (c >= '0' && c <= '9') {
      width += DIGIT_WIDTH;
    } else if (c == ' ') {
      width += BLANK_ADVANCE;
    }
  }
  return width;
}
