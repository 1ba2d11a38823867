// The sheet blit and the rising text column shared by the screens outside the battle.
#include "scenes/scene_art.h"

#include "gfx/font_text.h"
#include "gfx/surface.h"

void DrawArt(Box art, int32_t x, int32_t y, int32_t w, int32_t h) {
  Box dst;
  SetRect4(&dst, x, y, w, h);
  gf_DD_Blt(SheetSurface, art, ScreenSurface, dst);
}

void DrawArt(Box art, int32_t x, int32_t y) { DrawArt(art, x, y, art.w, art.h); }

// One more line appears every 20 frames; the column rises one pixel a frame.
void DrawRisingLines(const char* const* lines, uint32_t t) {
  const uint32_t n = t / 20 + 1;
  for (uint32_t i = 0; i < n && lines[i] != nullptr; ++i) {
    const int32_t y = 240 + 20 * static_cast<int32_t>(i) - static_cast<int32_t>(t);
    gf_TextDraw(lines[i], 64, y);
  }
}
