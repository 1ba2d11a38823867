// Surfaces of 8-bit palette indices and the seven drawing primitives that draw on them.
#pragma once
#include <cstdint>
#include <vector>

#include "core/math_helpers.h"

// A box on the sheet, as the scenes and the battle list them.
using SpriteRect = Box;

// One clip rectangle; blitter requests never change pixels outside it.
struct Clipper {
  Box rect;
};

// A rectangle of palette indices; pixel (x, y) lies at pixels[y * pitch + x].
struct Surface {
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  uint8_t* pixels = nullptr;
  // Blitter requests are clipped to it; without one, a box past the edge is refused.
  const Clipper* clipper = nullptr;
  bool hasColorKey = false;
  uint32_t colorKey = 0;  // source pixels of this value are left out of gf_DD_Blt
  std::vector<uint8_t> store;
};

extern Surface* ScreenSurface;  // 320x240, drawn on every frame
extern Surface* SheetSurface;   // the loaded sprite and font sheet

constexpr int32_t SCREEN_WIDTH = 320;
constexpr int32_t SCREEN_HEIGHT = 240;

// A new surface cleared to 0 (rows padded to four bytes), or null for a size below 1 or too big.
Surface* CreateSurface(int32_t width, int32_t height);
void ReleaseSurface(Surface* surface);

int32_t gf_DD_ScrFill(Surface* surface, int32_t color);
int32_t gf_DD_BoxFill(Surface* surface, Box box, int32_t color);
int32_t gf_DD_BoxMesh(Surface* surface, Box box, int32_t xStep, int32_t yStep, int32_t color);
int32_t gf_DD_BoxDraw(Surface* surface, Box box, int32_t color);
int32_t gf_DD_LineDraw(Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t color);
int32_t gf_DD_PDraw(Surface* surface, int32_t x, int32_t y, int32_t color);
int32_t gf_DD_Blt(Surface* source, Box sourceBox, Surface* dest, Box destBox);
