// Drawing kit for the generated pictures: ramps, dithering, noise and sphere shading.
#include "sheet_canvas.h"

#include <algorithm>

bool IsPaletteColour(Rgb c) {
  if (c == WHITE || c == BLACK) return true;
  for (int r = 0; r < 8; ++r) {
    for (int g = 0; g < 8; ++g) {
      for (int b = 0; b < 4; ++b) {
        if (r == 7 && g > 2) continue;
        if (c.r == RedGreenLevel(r) && c.g == RedGreenLevel(g) && c.b == BlueLevel(b)) return true;
      }
    }
  }
  return false;
}

void Paste(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.height; ++j) {
    for (int i = 0; i < src.width; ++i) dst.Set(x + i, y + j, src.At(i, j));
  }
}

int BayerThreshold(int x, int y) {
  static constexpr int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return BAYER[y & 3][x & 3];
}

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

Rgb RampPick(Ramp ramp, int v, int x, int y) {
  return RampPick(std::span<const Rgb>(ramp.begin(), ramp.size()), v, x, y);
}

Rgb RampPick(std::span<const Rgb> ramp, int v, int x, int y) {
  const int n = static_cast<int>(ramp.size());
  if (n == 1) return ramp[0];
  const int pos = Clamp(v, 0, 4096) * (n - 1);
  int i = pos >> 12;
  const int frac = pos & 4095;
  // Threshold in the middle of each of the sixteen dither steps.
  if (i < n - 1 && frac * 32 > (2 * BayerThreshold(x, y) + 1) * 4096) ++i;
  return ramp[i];
}

Rgb RampBlend(std::span<const Rgb> ramp, int v) {
  const int n = static_cast<int>(ramp.size());
  const int pos = Clamp(v, 0, 4096) * (n - 1);
  const int i = std::min(pos >> 12, n - 1), frac = pos & 4095;
  const Rgb a = ramp[i], b = ramp[std::min(i + 1, n - 1)];
  const auto mix = [frac](uint8_t p, uint8_t q) {
    return static_cast<uint8_t>((p * (4096 - frac) + q * frac + 2048) >> 12);
  };
  return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

int ISqrt(int64_t v) {
  if (v <= 0) return 0;
  int64_t r = 0;
  int64_t bit = int64_t{1} << 62;
  while (bit > v) bit >>= 2;
  while (bit != 0) {
    if (v >= r + bit) {
      v -= r + bit;
      r = (r >> 1) + bit;
    } else {
      r >>= 1;
    }
    bit >>= 2;
  }
  return static_cast<int>(r);
}

uint32_t HashPoint(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
               static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

namespace {
int LatticeValue(int x, int y, int z, uint32_t seed) {
  const uint32_t zy = static_cast<uint32_t>(y) ^ static_cast<uint32_t>(z) * 0x3C6EF372u;
  return static_cast<int>(HashPoint(x, static_cast<int>(zy), seed) & 4095);
}

// Smoothstep of a fraction 0..256, result 0..256.
int Fade(int t) { return t * t * (768 - 2 * t) / 65536; }

int Lerp(int a, int b, int t) { return a + (b - a) * t / 256; }
}  // namespace

int ValueNoise(int x, int y, int z, uint32_t seed) {
  // Arithmetic shift floors negative coordinates, so the lattice has no seam at zero.
  const int xi = x >> 8, yi = y >> 8, zi = z >> 8;
  const int fx = Fade(x & 255), fy = Fade(y & 255), fz = Fade(z & 255);
  int plane[2];
  for (int k = 0; k < 2; ++k) {
    const int a =
        Lerp(LatticeValue(xi, yi, zi + k, seed), LatticeValue(xi + 1, yi, zi + k, seed), fx);
    const int b = Lerp(LatticeValue(xi, yi + 1, zi + k, seed),
                       LatticeValue(xi + 1, yi + 1, zi + k, seed), fx);
    plane[k] = Lerp(a, b, fy);
  }
  return Lerp(plane[0], plane[1], fz);
}

int FractalNoise(int x, int y, int z, uint32_t seed, int octaves) {
  int sum = 0, weight = 0, amp = 256;
  for (int o = 0; o < octaves; ++o) {
    sum += ValueNoise(x << o, y << o, z << o, seed + o) * amp;
    weight += amp;
    amp /= 2;
  }
  return sum / weight;
}

namespace {
// Light from the upper left and in front; the vector has length 256.
constexpr int LIGHT_X = -111, LIGHT_Y = -128, LIGHT_Z = 185;
}  // namespace

int Lambert(int nx, int ny, int nz) {
  return Clamp((nx * LIGHT_X + ny * LIGHT_Y + nz * LIGHT_Z) / 256, 0, 256);
}

int Highlight(int nx, int ny, int nz) {
  // Half-way vector between the light and the viewer (0, 0, 256), normalised.
  constexpr int hx = -64, hy = -74, hz = 242;  // (-111,-128,441) scaled to length 256
  int d = Clamp((nx * hx + ny * hy + nz * hz) / 256, 0, 256);
  for (int i = 0; i < 5; ++i) d = d * d / 256;  // power 32
  return d;
}

SpherePoint SphereAt(int x, int y, int cx, int cy, int r) {
  return SphereAtPoint(x * 16 + 8, y * 16 + 8, cx, cy, r);
}

SpherePoint SphereAtPoint(int px, int py, int cx, int cy, int r) {
  SpherePoint p;
  const int dx = px - cx, dy = py - cy;
  const int64_t d2 = int64_t{dx} * dx + int64_t{dy} * dy;
  const int64_t r2 = int64_t{r} * r;
  if (d2 >= r2) return p;
  const int dz = ISqrt(r2 - d2);
  p.inside = true;
  p.nx = dx * 256 / r;
  p.ny = dy * 256 / r;
  p.nz = dz * 256 / r;
  p.edge = 256 - ISqrt(d2) * 256 / r;
  return p;
}

void Outline(Canvas& c, Rgb colour) {
  const Canvas src = c;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (src.Ink(x, y)) continue;
      bool near = false;
      for (int j = -1; j <= 1 && !near; ++j) {
        for (int i = -1; i <= 1; ++i) near = near || src.Ink(x + i, y + j);
      }
      if (near) c.Set(x, y, colour);
    }
  }
}
