// Text in the sheet's bitmap font: capitals, digits and blanks.
#pragma once
#include <array>
#include <cstdint>

// Where each capital starts in the sheet's letter row, indexed by character code; the entry
// after 'Z' is the row's end.
extern const std::array<int32_t, 92> FontTable;

// Draws text from SheetSurface onto ScreenSurface with its top-left corner at (x, y); returns 1.
int32_t gf_TextDraw(const char* text, int32_t x, int32_t y);
// How far gf_TextDraw moves the pen for a text.
int32_t TextWidth(const char* text);
