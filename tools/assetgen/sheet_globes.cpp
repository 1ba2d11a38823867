// The three globe faces: the sun, the earth and the moon, each lit from the top left.
#include <algorithm>
#include <array>
#include <span>

#include "sheet_art.h"

namespace {
constexpr int CENTRE = 47 * 8;      // 23.5 pixels, in sixteenths
constexpr int RADIUS = 47 * 8 - 6;  // a hair inside the box so the rim stays round

// Texture coordinates of a sphere point, turned about the vertical axis by `turn` (0..256 of a
// quarter turn) so that an interesting side faces the viewer.
void SurfaceCoords(const SpherePoint& p, int turn, int& sx, int& sy, int& sz) {
  const int c = 256 - turn / 2, s = turn;  // a cheap, unnormalised turn; noise does not mind
  sx = (p.nx * c + p.nz * s) / 256;
  sy = p.ny;
  sz = (p.nz * c - p.nx * s) / 256;
}

// Light with a little ambient so that the night side keeps a trace of its colour.
int Lit(const SpherePoint& p, int ambient) {
  return ambient + Lambert(p.nx, p.ny, p.nz) * (256 - ambient) / 256;
}
}  // namespace

Canvas DrawSun() {
  Canvas c(47, 47);
  for (int y = 0; y < 47; ++y) {
    for (int x = 0; x < 47; ++x) {
      const SpherePoint p = SphereAt(x, y, CENTRE, CENTRE, RADIUS);
      if (!p.inside) continue;
      int sx, sy, sz;
      SurfaceCoords(p, 40, sx, sy, sz);
      // Boiling granules, brighter towards the light and darker at the limb.
      const int grain = FractalNoise(sx * 6 + 4096, sy * 6 + 4096, sz * 6 + 4096, 11, 3);
      const int spots = FractalNoise(sx * 2 + 8192, sy * 2 + 8192, sz * 2, 23, 2);
      const int limb = std::min(256, p.edge * 3);
      int v = Lit(p, 150) * 9 + limb * 5 + (grain - 2048) / 3;
      if (spots > 3150) v -= (spots - 3150) * 4;
      v += Highlight(p.nx, p.ny, p.nz) * 4;
      c.Set(x, y,
            RampPick({Cube(3, 0, 0), Cube(5, 0, 0), Cube(7, 1, 0), Cube(7, 2, 0), Cube(6, 4, 0),
                      Cube(6, 6, 0), Cube(6, 7, 1), Cube(6, 7, 2), WHITE},
                     v - 600, x, y));
    }
  }
  return c;
}

namespace {
// The earth's surfaces, dark to light; the haze and the highlight are single colours.
constexpr std::array ICE{Cube(1, 2, 2), Cube(3, 4, 3), Cube(5, 6, 3), WHITE};
constexpr std::array CLOUD{Cube(1, 1, 2), Cube(3, 4, 3), Cube(5, 6, 3), WHITE};
constexpr std::array DESERT{Cube(1, 1, 0), Cube(3, 2, 0), Cube(5, 4, 1), Cube(6, 6, 2)};
constexpr std::array FOREST{Cube(0, 1, 0), Cube(1, 3, 0), Cube(2, 5, 0), Cube(4, 6, 1)};
constexpr std::array SEA{Cube(0, 0, 1), Cube(0, 1, 2), Cube(0, 2, 3), Cube(1, 4, 3), Cube(3, 6, 3)};
constexpr std::array HAZE{Cube(3, 5, 3)};
constexpr std::array GLARE{Cube(5, 7, 3)};
constexpr std::array GLARE_CENTRE{WHITE};
constexpr std::array MOON_DUST{Cube(1, 1, 1), Cube(2, 2, 1), Cube(3, 3, 2), Cube(4, 4, 2),
                               Cube(5, 5, 2), Cube(6, 6, 3), WHITE};
}  // namespace

Shade EarthShade(const SpherePoint& p) {
  int sx, sy, sz;
  SurfaceCoords(p, 96, sx, sy, sz);
  const int land = FractalNoise(sx * 2 + 2048, sy * 2 + 2048, sz * 2 + 2048, 5, 4);
  const int cloud = FractalNoise(sx * 5 + 999, sy * 9 + 999, sz * 5, 77, 3);
  const int light = Lit(p, 40) * 16;
  const int lat = p.ny < 0 ? -p.ny : p.ny;
  Shade shade;
  if (lat > 226 + (land - 2048) / 64) {
    shade = {ICE, light};
  } else if (cloud > 2800) {
    shade = {CLOUD, light + 300};
  } else if (land > 2020) {
    const bool desert = land > 2450 && lat < 120;
    shade = {desert ? std::span<const Rgb>(DESERT) : std::span<const Rgb>(FOREST), light};
  } else {
    const int shallow = std::max(0, land - 1800) * 4;
    shade = {SEA, light * 3 / 4 + shallow / 4};
  }
  // A thin blue haze of air on the lit part of the rim.
  if (p.edge < 24 && Lambert(p.nx, p.ny, p.nz) > 60) shade = {HAZE, 0};
  const int shine = Highlight(p.nx, p.ny, p.nz);
  if (shine > 150) shade = {shine > 220 ? std::span<const Rgb>(GLARE_CENTRE) : GLARE, 0};
  return shade;
}

Canvas DrawEarth() {
  Canvas c(47, 47);
  for (int y = 0; y < 47; ++y) {
    for (int x = 0; x < 47; ++x) {
      const SpherePoint p = SphereAt(x, y, CENTRE, CENTRE, RADIUS);
      if (!p.inside) continue;
      const Shade shade = EarthShade(p);
      c.Set(x, y, RampPick(shade.ramp, shade.v, x, y));
    }
  }
  return c;
}

namespace {
struct Crater {
  int x, y, r;  // sixteenths of a pixel, on the picture
};

constexpr Crater CRATERS[] = {
    {15 * 16, 14 * 16, 70}, {28 * 16, 11 * 16, 50}, {31 * 16, 27 * 16, 96}, {13 * 16, 31 * 16, 56},
    {22 * 16, 22 * 16, 40}, {37 * 16, 18 * 16, 36}, {20 * 16, 39 * 16, 40}, {8 * 16, 22 * 16, 34},
    {26 * 16, 35 * 16, 28}, {34 * 16, 38 * 16, 30}, {11 * 16, 8 * 16, 26},
};

// How much a point (sixteenths of a pixel) is lit by a crater's shape: bright on the wall facing
// the light, dark on the wall turned away, a rim of ejecta just outside. Added to the light.
int CraterLight(int px, int py) {
  for (const Crater& k : CRATERS) {
    const int dx = px - k.x, dy = py - k.y;
    const int d = ISqrt(int64_t{dx} * dx + int64_t{dy} * dy);
    if (d > k.r + 16) continue;
    if (d > k.r) return 700;  // sunlit rim
    // Inside the bowl: a wall slopes towards the centre, so its light follows (dx, dy).
    return (dx * -(-111) + dy * -(-128)) * 5 / std::max(1, k.r) - 500;
  }
  return 0;
}
}  // namespace

Shade MoonShade(const SpherePoint& p, int bx, int by) {
  int sx, sy, sz;
  SurfaceCoords(p, 20, sx, sy, sz);
  const int seas = FractalNoise(sx * 2 + 5000, sy * 2 + 5000, sz * 2, 41, 3);
  const int dust = FractalNoise(sx * 10, sy * 10, sz * 10, 43, 2);
  int v = Lit(p, 30) * 15 + (dust - 2048) / 5 + CraterLight(bx, by);
  if (seas > 2250) v -= 500;
  return {MOON_DUST, v};
}

Canvas DrawMoon() {
  Canvas c(47, 47);
  for (int y = 0; y < 47; ++y) {
    for (int x = 0; x < 47; ++x) {
      const SpherePoint p = SphereAt(x, y, CENTRE, CENTRE, RADIUS);
      if (!p.inside) continue;
      const Shade shade = MoonShade(p, x * 16 + 8, y * 16 + 8);
      c.Set(x, y, RampPick(shade.ramp, shade.v, x, y));
    }
  }
  return c;
}
