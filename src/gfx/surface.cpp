// Surfaces of palette indices and the seven drawing primitives: fills, mesh, outline, line,
// point and the stretching, colour-keyed, clipped box copy.
#include "gfx/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/platform.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

Surface* ScreenSurface = nullptr;
Surface* SheetSurface = nullptr;

namespace {

constexpr int32_t MAX_SURFACE_SIDE = 16384;

const char* const MSG_SCRFILL = "gf_DD_ScrFill:サーフェース情報が壊れています\n";
const char* const MSG_BOXFILL = "gf_DD_BoxFill:ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const MSG_BOXDRAW = "gf_DD_BoxDraw:ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const MSG_PDRAW = "gf_DD_PDraw:ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const MSG_BLT_SOURCE = "gf_DD_Blt:転送元ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const MSG_BLT_DEST = "gf_DD_Blt:転送先ｻｰﾌｪｰｽ情報が壊れています\n";

// Half-open span [lo, hi) on one axis; 64-bit so that x + w never overflows.
struct Span {
  int64_t lo, hi;
};

bool Empty(const Box& b) { return b.w <= 0 || b.h <= 0; }

bool Inside(const Box& b, const Surface* s) {
  return b.x >= 0 && b.y >= 0 && int64_t{b.x} + b.w <= s->width && int64_t{b.y} + b.h <= s->height;
}

// The pixels a blitter request on the box may change: the box within the clip rectangle and
// the surface. A surface without a clipper refuses a box that is not wholly inside it.
enum class Reach { Refused, Nothing, Some };
Reach BlitterArea(const Surface* s, const Box& b, Span* xs, Span* ys) {
  if (Empty(b)) return Reach::Refused;
  if (s->clipper == nullptr && !Inside(b, s)) return Reach::Refused;
  int64_t x0 = b.x, y0 = b.y, x1 = int64_t{b.x} + b.w, y1 = int64_t{b.y} + b.h;
  if (s->clipper != nullptr) {
    const Box& c = s->clipper->rect;
    x0 = std::max<int64_t>(x0, c.x);
    y0 = std::max<int64_t>(y0, c.y);
    x1 = std::min<int64_t>(x1, int64_t{c.x} + c.w);
    y1 = std::min<int64_t>(y1, int64_t{c.y} + c.h);
  }
  x0 = std::max<int64_t>(x0, 0);
  y0 = std::max<int64_t>(y0, 0);
  x1 = std::min<int64_t>(x1, s->width);
  y1 = std::min<int64_t>(y1, s->height);
  if (x0 >= x1 || y0 >= y1) return Reach::Nothing;
  *xs = {x0, x1};
  *ys = {y0, y1};
  return Reach::Some;
}

int32_t ColorFill(Surface* s, const Box& b, int32_t color) {
  Span xs, ys;
  const Reach reach = BlitterArea(s, b, &xs, &ys);
  if (reach == Reach::Refused) return 0;
  if (reach == Reach::Nothing) return 1;
  const auto value = static_cast<uint8_t>(color);
  for (int64_t y = ys.lo; y < ys.hi; ++y) {
    std::memset(s->pixels + y * s->pitch + xs.lo, value, static_cast<size_t>(xs.hi - xs.lo));
  }
  return 1;
}

// Copies one row, leaving out pixels equal to the key.
void KeyedRow(uint8_t* d, const uint8_t* s, int64_t n, uint8_t key) {
  int64_t i = 0;
#if defined(__SSE2__)
  const __m128i k = _mm_set1_epi8(static_cast<char>(key));
  for (; i + 16 <= n; i += 16) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i hole = _mm_cmpeq_epi8(sv, k);
    const __m128i out = _mm_or_si128(_mm_and_si128(hole, dv), _mm_andnot_si128(hole, sv));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
  }
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(d + i));
    const __m128i hole = _mm_cmpeq_epi8(sv, k);
    const __m128i out = _mm_or_si128(_mm_and_si128(hole, dv), _mm_andnot_si128(hole, sv));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + i), out);
  }
#endif
  for (; i < n; ++i) {
    if (s[i] != key) d[i] = s[i];
  }
}

// Source index for each destination index of a stretch: the source pixel under the centre of
// the destination pixel.
void NearestIndices(int64_t first, int64_t count, int64_t srcStart, int64_t srcLen,
                    int64_t dstOffset, int64_t dstLen, std::vector<int32_t>* out) {
  out->resize(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    const int64_t d = first + i - dstOffset;
    (*out)[static_cast<size_t>(i)] =
        static_cast<int32_t>(srcStart + (2 * d + 1) * srcLen / (2 * dstLen));
  }
}

void CopyUnscaled(const Surface* src, const Box& sb, Surface* dst, const Box& db, const Span& xs,
                  const Span& ys, bool keyed, uint8_t key) {
  const int64_t n = xs.hi - xs.lo;
  const int64_t sx = sb.x + (xs.lo - db.x);
  for (int64_t y = ys.lo; y < ys.hi; ++y) {
    const uint8_t* s = src->pixels + (sb.y + (y - db.y)) * src->pitch + sx;
    uint8_t* d = dst->pixels + y * dst->pitch + xs.lo;
    if (keyed) {
      KeyedRow(d, s, n, key);
    } else {
      std::memmove(d, s, static_cast<size_t>(n));
    }
  }
}

// Each source row is stretched once into a buffer, then laid on every destination row that
// shows it, so an enlargement costs little more than an unscaled copy.
void CopyStretched(const Surface* src, const Box& sb, Surface* dst, const Box& db, const Span& xs,
                   const Span& ys, bool keyed, uint8_t key) {
  static std::vector<int32_t> columns;
  static std::vector<int32_t> rows;
  static std::vector<uint8_t> stretched;
  NearestIndices(xs.lo, xs.hi - xs.lo, sb.x, sb.w, db.x, db.w, &columns);
  NearestIndices(ys.lo, ys.hi - ys.lo, sb.y, sb.h, db.y, db.h, &rows);
  const int32_t* col = columns.data();
  const size_t n = columns.size();
  stretched.resize(n);
  uint8_t* line = stretched.data();
  int32_t lineRow = -1;
  for (size_t r = 0; r < rows.size(); ++r) {
    if (rows[r] != lineRow) {
      lineRow = rows[r];
      const uint8_t* s = src->pixels + int64_t{lineRow} * src->pitch;
      for (size_t i = 0; i < n; ++i) line[i] = s[col[i]];
    }
    uint8_t* d = dst->pixels + (ys.lo + static_cast<int64_t>(r)) * dst->pitch + xs.lo;
    if (keyed) {
      KeyedRow(d, line, static_cast<int64_t>(n), key);
    } else {
      std::memcpy(d, line, n);
    }
  }
}

}  // namespace

Surface* CreateSurface(int32_t width, int32_t height) {
  if (width < 1 || height < 1 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE) {
    return nullptr;
  }
  auto* s = new Surface;
  s->width = width;
  s->height = height;
  s->pitch = (width + 3) & ~3;
  s->store.assign(static_cast<size_t>(s->pitch) * static_cast<size_t>(height), 0);
  s->pixels = s->store.data();
  return s;
}

void ReleaseSurface(Surface* surface) { delete surface; }

int32_t gf_DD_ScrFill(Surface* surface, int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_SCRFILL);
    return 0;
  }
  return ColorFill(surface, Box{0, 0, surface->width, surface->height}, color);
}

int32_t gf_DD_BoxFill(Surface* surface, Box box, int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_BOXFILL);
    return 0;
  }
  return ColorFill(surface, box, color);
}

int32_t gf_DD_BoxMesh(Surface* surface, Box box, int32_t xStep, int32_t yStep, int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_BOXFILL);
    return 0;
  }
  // A step below 0 would walk out of the box, so such a request draws nothing.
  if (xStep < 0 || yStep < 0) return 0;
  const int64_t sx = xStep == 0 ? 1 : xStep;
  const int64_t sy = yStep == 0 ? 1 : yStep;
  // Only the part of the pattern that lies on the surface is set.
  auto firstOnSurface = [](int64_t origin, int64_t step) {
    return origin >= 0 ? 0 : (-origin + step - 1) / step * step;
  };
  const int64_t iEnd = std::min<int64_t>(box.w, int64_t{surface->width} - box.x);
  const int64_t jEnd = std::min<int64_t>(box.h, int64_t{surface->height} - box.y);
  const auto value = static_cast<uint8_t>(color);
  for (int64_t j = firstOnSurface(box.y, sy); j < jEnd; j += sy) {
    const int64_t row = (box.y + j) * surface->pitch + box.x;
    for (int64_t i = firstOnSurface(box.x, sx); i < iEnd; i += sx) surface->pixels[row + i] = value;
  }
  return 1;
}

int32_t gf_DD_BoxDraw(Surface* surface, Box box, int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_BOXDRAW);
    return 0;
  }
  ColorFill(surface, Box{box.x, box.y, box.w, 1}, color);
  ColorFill(surface, Box{box.x + box.w - 1, box.y, 1, box.h}, color);
  ColorFill(surface, Box{box.x, box.y, 1, box.h}, color);
  ColorFill(surface, Box{box.x, box.y + box.h - 1, box.w, 1}, color);
  return 1;
}

int32_t gf_DD_LineDraw(Surface* surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_PDRAW);
    return 0;
  }
  const int64_t dx = x1 > x2 ? int64_t{x1} - x2 : int64_t{x2} - x1;
  const int64_t dy = y1 > y2 ? int64_t{y1} - y2 : int64_t{y2} - y1;
  const bool xMajor = dx > dy;
  const int64_t major = xMajor ? dx : dy;
  const int64_t minor = xMajor ? dy : dx;
  const int64_t stepX = x1 == x2 ? 0 : (x1 > x2 ? -1 : 1);
  const int64_t stepY = y1 == y2 ? 0 : (y1 > y2 ? -1 : 1);
  // The screen's bounds, and the surface's too where it is smaller.
  const int64_t maxX = std::min<int64_t>(SCREEN_WIDTH, surface->width) - 1;
  const int64_t maxY = std::min<int64_t>(SCREEN_HEIGHT, surface->height) - 1;
  const auto value = static_cast<uint8_t>(color);
  int64_t x = x1, y = y1, e = 0;
  for (int64_t n = 0; n < major; ++n) {
    e += minor;
    if (xMajor) {
      x += stepX;
      if (e > dx) {
        e -= dx;
        y += stepY;
      }
    } else {
      y += stepY;
      if (e > dy) {
        e -= dy;
        x += stepX;
      }
    }
    if (x >= 0 && x <= maxX && y >= 0 && y <= maxY) surface->pixels[y * surface->pitch + x] = value;
  }
  return 1;
}

int32_t gf_DD_PDraw(Surface* surface, int32_t x, int32_t y, int32_t color) {
  if (surface == nullptr) {
    PlatformDebugOutput(MSG_PDRAW);
    return 0;
  }
  if (x < 0 || y < 0 || x >= surface->width || y >= surface->height) return 0;
  surface->pixels[int64_t{y} * surface->pitch + x] = static_cast<uint8_t>(color);
  return 1;
}

int32_t gf_DD_Blt(Surface* source, Box sourceBox, Surface* dest, Box destBox) {
  if (source == nullptr) {
    PlatformDebugOutput(MSG_BLT_SOURCE);
    return 0;
  }
  if (dest == nullptr) {
    PlatformDebugOutput(MSG_BLT_DEST);
    return 0;
  }
  if (Empty(sourceBox) || !Inside(sourceBox, source)) return 0;
  Span xs, ys;
  const Reach reach = BlitterArea(dest, destBox, &xs, &ys);
  if (reach == Reach::Refused) return 0;
  if (reach == Reach::Nothing) return 1;
  const bool keyed = source->hasColorKey && source->colorKey <= 0xFF;
  const auto key = static_cast<uint8_t>(source->colorKey);
  if (sourceBox.w == destBox.w && sourceBox.h == destBox.h) {
    CopyUnscaled(source, sourceBox, dest, destBox, xs, ys, keyed, key);
  } else {
    CopyStretched(source, sourceBox, dest, destBox, xs, ys, keyed, key);
  }
  return 1;
}
