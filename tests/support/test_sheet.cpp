// A generated test sheet with known contents, installed as "BMP_00" on the scripted machine.
#include "support/test_sheet.h"

#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"

namespace {

void PutU16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

}  // namespace

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
    out.push_back('B');
    out.push_back('M');
    PutU32(&out, 14 + 40 + tableBytes + stride * static_cast<uint32_t>(height));
    PutU32(&out, 0);
    PutU32(&out, 14 + 40 + tableBytes);
  }
  PutU32(&out, 40);
  PutU32(&out, static_cast<uint32_t>(width));
  PutU32(&out, static_cast<uint32_t>(height));
  PutU16(&out, 1);
  PutU16(&out, 8);
  PutU32(&out, 0);
  PutU32(&out, 0);
  PutU32(&out, 2834);
  PutU32(&out, 2834);
  PutU32(&out, tableSize == 256 ? 0 : static_cast<uint32_t>(tableSize));
  PutU32(&out, 0);
  for (int32_t i = 0; i < tableSize; ++i) {
    out.push_back(table[i].b);
    out.push_back(table[i].g);
    out.push_back(table[i].r);
    out.push_back(0);
  }
  for (int32_t row = height - 1; row >= 0; --row) {
    for (uint32_t x = 0; x < stride; ++x) {
      const bool inside = x < static_cast<uint32_t>(width);
      out.push_back(inside ? pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + x] : 0);
    }
  }
  return out;
}

std::vector<uint8_t> TestSheetBitmap() {
  std::vector<uint8_t> pixels;
  for (int32_t y = 0; y < TEST_SHEET_HEIGHT; ++y) {
    for (int32_t x = 0; x < TEST_SHEET_WIDTH; ++x) pixels.push_back(TestSheetIndex(x, y));
  }
  return MakeBitmapBytes(TEST_SHEET_WIDTH, TEST_SHEET_HEIGHT, GamePalette.data(), 256, pixels,
                         false);
}

void InstallTestSheet() { FakeSetResource("BMP_00", "BITMAP", TestSheetBitmap()); }

bool StartTestDisplay() {
  FakeDisplayReset();
  InstallTestSheet();
  if (gf_DD_Startup() == 0) return false;
  SheetSurface = gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0);
  gf_DD_SetColorKey(SheetSurface, MakeRgb(0, 0, 0));
  return SheetSurface != nullptr;
}

void StopTestDisplay() { gf_DD_Release(1); }
