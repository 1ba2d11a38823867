// The bitmap sheet: bitmap decoding, loading onto a surface, colour matching and GamePalette.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/surface.h"
#include "platform/platform.h"

struct DisplayDevice;
struct DisplayPalette;

constexpr uint32_t CLR_INVALID = 0xFFFFFFFFu;
constexpr int32_t DD_OK = 0;
constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);

// Colour as 0x00BBGGRR.
constexpr uint32_t MakeRgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// 0..9 and 246..255 the twenty static colours (0 black, 255 white), 10..245 the colour cube.
extern std::array<PlatformColor, 256> GamePalette;

// An 8-bit picture as it was stored: rows top first, each pixel an index into its own table.
struct LoadedBitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // width * height bytes
  PlatformColor table[256] = {};
};

// Reads an uncompressed 8-bit bitmap: the information header, colour table and rows, preceded by
// the 14-byte file header when withFileHeader. False for anything malformed; never reads past size.
bool DecodeBitmap(const uint8_t* data, size_t size, bool withFileHeader, LoadedBitmap* out);

// Entries 10..245 of GamePalette become the colour cube.
void FillColorCube();
// The GamePalette index nearest to a colour; ties go to the lower index. The sheet conversion and
// gf_DD_ColorMatch both use it.
uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue);

// The resource "BITMAP" of that name, else a bitmap file of that name; 0, 0 keeps its own size.
Surface* gf_DD_LoadBitmap(DisplayDevice* display, const char* name, int32_t width, int32_t height);
// Stretches the bitmap's box over the whole surface, converting to GamePalette indices.
int32_t gf_DD_CopyBitmap(Surface* surface, const LoadedBitmap* bitmap, int32_t x, int32_t y,
                         int32_t width, int32_t height);
// The value the surface stores for a colour; CLR_INVALID when it cannot tell.
uint32_t gf_DD_ColorMatch(Surface* surface, uint32_t color);
// The surface's source colour key becomes the value it stores for the colour.
int32_t gf_DD_SetColorKey(Surface* surface, uint32_t color);
// All 256 entries in one request; 1 when accepted.
int32_t gf_DD_SetPalette(DisplayPalette* palette, const PlatformColor* entries);
