// A generated test sheet with known contents, installed as "BMP_00" on the scripted machine.
#include "support/test_sheet.h"

#include "core/bytes.h"
#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"

uint8_t TestSheetIndex(int32_t x, int32_t y) {
  if (x >= 288 && y >= 224) return 0;
  return static_cast<uint8_t>(11 + (x + 3 * y) % 235);
}

std::vector<uint8_t> MakeBitmapBytes(int32_t width, int32_t height, const PlatformColor* table,
                                     int32_t tableSize, const std::vector<uint8_t>& pixels,
                                     bool fileHeader) {
  const uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
  const uint32_t tableBytes = static_cast<uint32_t>(tableSize) * 4;
  std::vector<uint8_t> out;
  if (fileHeader) {
    out = {'B', 'M'};
    for (uint32_t v :
         {14 + 40 + tableBytes + stride * static_cast<uint32_t>(height), 0u, 14 + 40 + tableBytes})
      AppendLe32(out, v);
  }
  const uint32_t colours = tableSize == 256 ? 0u : static_cast<uint32_t>(tableSize);
  // Header size, width, height, one plane of 8 bits, no compression, 72 dpi, colours used.
  for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                     1u | 8u << 16, 0u, 0u, 2834u, 2834u, colours, 0u})
    AppendLe32(out, v);
  for (int32_t i = 0; i < tableSize; ++i)
    for (uint8_t v : {table[i].b, table[i].g, table[i].r, uint8_t{0}}) out.push_back(v);
  for (int32_t row = height - 1; row >= 0; --row)
    for (uint32_t x = 0; x < stride; ++x)
      out.push_back(x < static_cast<uint32_t>(width) ? pixels[size_t(row) * size_t(width) + x] : 0);
  return out;
}

bool StartTestDisplay() {
  FakeDisplayReset();
  std::vector<uint8_t> pixels;
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 319; ++x) pixels.push_back(TestSheetIndex(x, y));
  // The sheet's colour table is the initial GamePalette.
  FakeSetResource("BMP_00", "BITMAP",
                  MakeBitmapBytes(319, 240, GamePalette.data(), 256, pixels, false));
  if (gf_DD_Startup() == 0) return false;
  SheetSurface = gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0);
  gf_DD_SetColorKey(SheetSurface, MakeRgb(0, 0, 0));
  return SheetSurface != nullptr;
}

void StopTestDisplay() { gf_DD_Release(1); }
