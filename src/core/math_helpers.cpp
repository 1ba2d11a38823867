// Random numbers, the two-decimal sine and cosine tables, scaled trigonometry and distance.
#include "core/math_helpers.h"

#include <cmath>
#include <numbers>

uint32_t RandomSeed = 0;

namespace {
// Entry i is the trig value at 2*pi*i/256 rounded to hundredths, as the tables were typed in.
constexpr double TwoPlaces(double v) {
  const double hundredths = v * 100.0;
  const double rounded =
      hundredths < 0 ? -static_cast<double>(static_cast<int64_t>(-hundredths + 0.5))
                     : static_cast<double>(static_cast<int64_t>(hundredths + 0.5));
  return rounded == 0.0 ? 0.0 : rounded / 100.0;
}

// A constant-expression sine good to far better than the half-hundredth the rounding needs.
constexpr double Sine(double x) {
  while (x > std::numbers::pi) x -= 2 * std::numbers::pi;
  while (x < -std::numbers::pi) x += 2 * std::numbers::pi;
  double term = x, sum = x;
  for (int n = 1; n < 30; ++n) {
    term *= -x * x / ((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

constexpr std::array<double, 256> MakeTable(bool cosine) {
  std::array<double, 256> t{};
  for (int i = 0; i < 256; ++i) {
    const double angle = 2 * std::numbers::pi * i / 256 + (cosine ? std::numbers::pi / 2 : 0.0);
    t[i] = TwoPlaces(Sine(angle));
  }
  return t;
}

}  // namespace

constinit const std::array<double, 256> SinTable = MakeTable(false);
constinit const std::array<double, 256> CosTable = MakeTable(true);

int32_t NextRandom() {
  RandomSeed = RandomSeed * 5u + 1u;
  return static_cast<int32_t>(RandomSeed);
}

int32_t SeedRandom(uint32_t s) {
  RandomSeed = s;
  return NextRandom();
}

// The double product is truncated toward zero, not rounded.
int32_t ScaledSin(Angle256 a, int32_t r) {
  return static_cast<int32_t>(static_cast<double>(r) * SinTable[a & 0xFF]);
}

int32_t ScaledCos(Angle256 a, int32_t r) {
  return static_cast<int32_t>(static_cast<double>(r) * CosTable[a & 0xFF]);
}

int32_t Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t dx = x1 > x2 ? x1 - x2 : x2 - x1;
  const int32_t dy = y1 > y2 ? y1 - y2 : y2 - y1;
  const double fx = dx, fy = dy;
  return static_cast<int32_t>(std::sqrt(fx * fx + fy * fy));
}

void SetRect4(Box* rect, int32_t x, int32_t y, int32_t w, int32_t h) {
  rect->x = x;
  rect->y = y;
  rect->w = w;
  rect->h = h;
}
