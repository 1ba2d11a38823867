// Drawing kit for the generated pictures: an RGB canvas, cube colours, ramps, dithering, noise.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The display's colour cube: red and green in eight levels, blue in four. Red level 7 exists
// only with green levels 0 to 2, so Cube() refuses to make the missing ones at compile time.
constexpr int RedGreenLevel(int level) { return level * 255 / 7; }
constexpr int BlueLevel(int level) { return level * 255 / 3; }
consteval Rgb Cube(int r, int g, int b) {
  if (r < 0 || r > 7 || g < 0 || g > 7 || b < 0 || b > 3 || (r == 7 && g > 2)) {
    throw "colour outside the cube";
  }
  return Rgb{static_cast<uint8_t>(RedGreenLevel(r)), static_cast<uint8_t>(RedGreenLevel(g)),
             static_cast<uint8_t>(BlueLevel(b))};
}
inline constexpr Rgb BLACK{0, 0, 0};
inline constexpr Rgb WHITE{255, 255, 255};  // the palette's fixed white, not part of the cube

// True for black, white and every colour of the cube: the colours the sheet may hold.
bool IsPaletteColour(Rgb c);

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Rgb At(int x, int y) const { return Inside(x, y) ? pixels[y * width + x] : BLACK; }
  void Set(int x, int y, Rgb c) {
    if (Inside(x, y)) pixels[y * width + x] = c;
  }
  bool Ink(int x, int y) const { return !(At(x, y) == BLACK); }
};

// Copies a picture into a bigger one with its top-left corner at (x, y).
void Paste(Canvas& dst, const Canvas& src, int x, int y);

// A short list of colours that shading walks along, dark to light.
using Ramp = std::initializer_list<Rgb>;

// Picks from a ramp by v (0 = first entry, 4096 = last), ordered-dithering between neighbours.
Rgb RampPick(Ramp ramp, int v, int x, int y);
Rgb RampPick(std::span<const Rgb> ramp, int v, int x, int y);
// The same place on a ramp blended from its two neighbours, for pictures not held to the palette.
Rgb RampBlend(std::span<const Rgb> ramp, int v);

// Threshold 0..15 of the 4x4 ordered-dither matrix at a pixel.
int BayerThreshold(int x, int y);

int ISqrt(int64_t v);
int Clamp(int v, int lo, int hi);

// Smooth value noise 0..4095 over 3-D lattice points spaced 256 units apart.
int ValueNoise(int x, int y, int z, uint32_t seed);
// Several octaves of value noise, each twice as fine; result 0..4095.
int FractalNoise(int x, int y, int z, uint32_t seed, int octaves);
// Integer hash used for speckles and layout jitter.
uint32_t HashPoint(int x, int y, uint32_t seed);

// Light falling on a surface whose normal is (nx, ny, nz) scaled to 256: from the top left and
// a little in front, as on every picture of the sheet. Result 0..256.
int Lambert(int nx, int ny, int nz);
// A tight highlight for the same light, 0..256.
int Highlight(int nx, int ny, int nz);

// A point of a sphere seen from the front: the unit normal scaled to 256, or inside = false.
struct SpherePoint {
  bool inside = false;
  int nx = 0, ny = 0, nz = 0;
  int edge = 0;  // 0 at the rim, 256 at the centre: how far in from the outline
};
// Sphere of radius r (sixteenths of a pixel) centred at (cx, cy) (sixteenths), sampled at the
// centre of pixel (x, y).
SpherePoint SphereAt(int x, int y, int cx, int cy, int r);
// The same at the point (px, py), in whatever unit the centre and the radius are given.
SpherePoint SphereAtPoint(int px, int py, int cx, int cy, int r);

// Adds a one-pixel outline of colour c around every inked pixel (8 neighbours).
void Outline(Canvas& c, Rgb colour);
