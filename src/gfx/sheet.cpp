// The bitmap sheet: bitmap decoding, loading onto a surface, colour matching and GamePalette.
#include "gfx/sheet.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "core/bytes.h"
#include "core/file_read.h"
#include "gfx/display.h"

namespace {

constexpr PlatformColor Rgb(uint8_t r, uint8_t g, uint8_t b) { return PlatformColor{r, g, b, 0}; }

// The twenty static colours of a classic 256-colour system palette, then the cube.
constexpr std::array<PlatformColor, 256> InitialPalette() {
  std::array<PlatformColor, 256> p{};
  const PlatformColor low[10] = {Rgb(0, 0, 0),      Rgb(128, 0, 0),     Rgb(0, 128, 0),
                                 Rgb(128, 128, 0),  Rgb(0, 0, 128),     Rgb(128, 0, 128),
                                 Rgb(0, 128, 128),  Rgb(192, 192, 192), Rgb(192, 220, 192),
                                 Rgb(166, 202, 240)};
  const PlatformColor high[10] = {Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128),
                                  Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(255, 255, 0),
                                  Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),
                                  Rgb(255, 255, 255)};
  for (int i = 0; i < 10; ++i) {
    p[static_cast<size_t>(i)] = low[i];
    p[static_cast<size_t>(246 + i)] = high[i];
  }
  for (int k = 0; k < 236; ++k) {
    p[static_cast<size_t>(10 + k)] = Rgb(static_cast<uint8_t>(((k >> 5) & 7) * 255 / 7),
                                         static_cast<uint8_t>(((k >> 2) & 7) * 255 / 7),
                                         static_cast<uint8_t>((k & 3) * 255 / 3));
  }
  return p;
}

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr int32_t MAX_BITMAP_SIDE = 16384;
constexpr size_t MAX_BITMAP_FILE = size_t{64} << 20;

bool LoadBitmapFile(const char* name, LoadedBitmap* out) {
  std::vector<uint8_t> bytes;
  return ReadWholeFile(name, MAX_BITMAP_FILE, &bytes) && !bytes.empty() &&
         DecodeBitmap(bytes.data(), bytes.size(), true, out);
}

// The bitmap enlarged or shrunk to a requested size; 0 keeps that side.
bool ResizeBitmap(LoadedBitmap* b, int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > MAX_BITMAP_SIDE || height > MAX_BITMAP_SIDE) return false;
  const int32_t w = width == 0 ? b->width : width;
  const int32_t h = height == 0 ? b->height : height;
  if (w == b->width && h == b->height) return true;
  std::vector<uint8_t> scaled(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int64_t y = 0; y < h; ++y) {
    const int64_t sy = (2 * y + 1) * b->height / (2 * h);
    for (int64_t x = 0; x < w; ++x) {
      const int64_t sx = (2 * x + 1) * b->width / (2 * w);
      scaled[static_cast<size_t>(y * w + x)] = b->pixels[static_cast<size_t>(sy * b->width + sx)];
    }
  }
  b->pixels = std::move(scaled);
  b->width = w;
  b->height = h;
  return true;
}

}  // namespace

constinit std::array<PlatformColor, 256> GamePalette = InitialPalette();

void FillColorCube() {
  const std::array<PlatformColor, 256> p = InitialPalette();
  std::copy(p.begin() + 10, p.begin() + 246, GamePalette.begin() + 10);
}

uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) {
  int32_t best = 0;
  int32_t bestDistance = INT32_MAX;
  for (int32_t i = 0; i < 256; ++i) {
    const PlatformColor& c = GamePalette[static_cast<size_t>(i)];
    const int32_t dr = c.r - red, dg = c.g - green, db = c.b - blue;
    const int32_t d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

bool DecodeBitmap(const uint8_t* data, size_t size, bool withFileHeader, LoadedBitmap* out) {
  if (data == nullptr || out == nullptr) return false;
  size_t info = 0;
  size_t pixelOffset = 0;
  if (withFileHeader) {
    if (size < FILE_HEADER_SIZE || data[0] != 'B' || data[1] != 'M') return false;
    pixelOffset = ReadLe32(data + 10);
    info = FILE_HEADER_SIZE;
  }
  if (size - info < 40) return false;
  const uint32_t headerSize = ReadLe32(data + info);
  if (headerSize != 40 && headerSize != 108 && headerSize != 124) return false;
  if (size - info < headerSize) return false;
  const auto width = static_cast<int32_t>(ReadLe32(data + info + 4));
  const auto storedHeight = static_cast<int32_t>(ReadLe32(data + info + 8));
  const uint16_t planes = ReadLe16(data + info + 12);
  const uint16_t bits = ReadLe16(data + info + 14);
  const uint32_t compression = ReadLe32(data + info + 16);
  const uint32_t colorsUsed = ReadLe32(data + info + 32);
  if (width < 1 || width > MAX_BITMAP_SIDE) return false;
  if (storedHeight == 0 || storedHeight < -MAX_BITMAP_SIDE || storedHeight > MAX_BITMAP_SIDE) {
    return false;
  }
  if (planes != 1 || bits != 8 || compression != 0 || colorsUsed > 256) return false;
  const size_t colors = colorsUsed == 0 ? 256 : colorsUsed;
  const size_t tableStart = info + headerSize;
  const size_t tableEnd = tableStart + colors * 4;
  if (tableEnd > size) return false;
  if (!withFileHeader) {
    pixelOffset = tableEnd;
  } else if (pixelOffset < tableEnd) {
    return false;
  }
  const int32_t height = storedHeight < 0 ? -storedHeight : storedHeight;
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  if (pixelOffset > size || (size - pixelOffset) / stride < static_cast<size_t>(height)) {
    return false;
  }
  out->width = width;
  out->height = height;
  for (size_t i = 0; i < 256; ++i) {
    const uint8_t* e = data + tableStart + i * 4;
    out->table[i] = i < colors ? PlatformColor{e[2], e[1], e[0], 0} : PlatformColor{0, 0, 0, 0};
  }
  out->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t row = 0; row < height; ++row) {
    // Rows are stored bottom first unless the height is negative.
    const int32_t stored = storedHeight > 0 ? height - 1 - row : row;
    std::memcpy(out->pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width),
                data + pixelOffset + static_cast<size_t>(stored) * stride,
                static_cast<size_t>(width));
  }
  return true;
}

Surface* gf_DD_LoadBitmap(DisplayDevice* display, const char* name, int32_t width, int32_t height) {
  if (display == nullptr || name == nullptr) return nullptr;
  LoadedBitmap bitmap;
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool loaded = PlatformFindResource(name, "BITMAP", &data, &size) &&
                DecodeBitmap(data, size, false, &bitmap);
  if (!loaded) loaded = LoadBitmapFile(name, &bitmap);
  if (!loaded || !ResizeBitmap(&bitmap, width, height)) return nullptr;
  Surface* surface = CreateDisplaySurface(display, bitmap.width, bitmap.height);
  if (surface == nullptr) return nullptr;
  gf_DD_CopyBitmap(surface, &bitmap, 0, 0, 0, 0);
  return surface;
}

int32_t gf_DD_CopyBitmap(Surface* surface, const LoadedBitmap* bitmap, int32_t x, int32_t y,
                         int32_t width, int32_t height) {
  if (surface == nullptr || bitmap == nullptr || surface->pixels == nullptr) return E_FAIL;
  const int64_t w = width == 0 ? bitmap->width : width;
  const int64_t h = height == 0 ? bitmap->height : height;
  // Only a box of the bitmap can be copied; reading beside it would read outside the picture.
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > bitmap->width || y + h > bitmap->height) {
    return E_FAIL;
  }
  // A colour is matched when a pixel first uses it: a search of the whole palette for each of
  // 256 entries costs more than copying a small picture.
  int16_t nearest[256];
  std::fill(std::begin(nearest), std::end(nearest), int16_t{-1});
  // The column each pixel comes from is the same on every row.
  std::vector<int64_t> columns(static_cast<size_t>(surface->width));
  for (int64_t dx = 0; dx < surface->width; ++dx) {
    columns[static_cast<size_t>(dx)] = x + (2 * dx + 1) * w / (2 * int64_t{surface->width});
  }
  for (int64_t dy = 0; dy < surface->height; ++dy) {
    const int64_t sy = y + (2 * dy + 1) * h / (2 * int64_t{surface->height});
    const uint8_t* src = bitmap->pixels.data() + sy * bitmap->width;
    uint8_t* dst = surface->pixels + dy * surface->pitch;
    for (int64_t dx = 0; dx < surface->width; ++dx) {
      const uint8_t index = src[columns[static_cast<size_t>(dx)]];
      if (nearest[index] < 0) {
        const PlatformColor& c = bitmap->table[index];
        nearest[index] = NearestPaletteIndex(c.r, c.g, c.b);
      }
      dst[dx] = static_cast<uint8_t>(nearest[index]);
    }
  }
  return DD_OK;
}

uint32_t gf_DD_ColorMatch(Surface* surface, uint32_t color) {
  if (surface == nullptr || surface->pixels == nullptr) return CLR_INVALID;
  // The surface stores a colour as it would store pixel (0, 0) set to it; that pixel is kept.
  const uint8_t saved = surface->pixels[0];
  if (color != CLR_INVALID) {
    surface->pixels[0] =
        NearestPaletteIndex(static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                            static_cast<uint8_t>(color >> 16));
  }
  const uint32_t result = surface->pixels[0];
  surface->pixels[0] = saved;
  return result;
}

int32_t gf_DD_SetColorKey(Surface* surface, uint32_t color) {
  if (surface == nullptr) return E_FAIL;
  surface->hasColorKey = true;
  surface->colorKey = gf_DD_ColorMatch(surface, color);
  return DD_OK;
}

int32_t gf_DD_SetPalette(DisplayPalette* palette, const PlatformColor* entries) {
  if (palette == nullptr || entries == nullptr) return 0;
  std::memcpy(palette->entries, entries, sizeof(palette->entries));
  return 1;
}
