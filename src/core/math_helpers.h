// The game's shared arithmetic: random numbers, sine and cosine tables, distance, rectangles.
#pragma once
#include <array>
#include <cstdint>

// 256 steps to the full turn; 0 = +x, 64 = +y (down the screen).
using Angle256 = int32_t;

// A rectangle as the blits take it: left, top, width, height.
struct Box {
  int32_t x, y, w, h;
};

extern uint32_t RandomSeed;
extern const std::array<double, 256> SinTable;
extern const std::array<double, 256> CosTable;

int32_t NextRandom();
int32_t SeedRandom(uint32_t s);
int32_t ScaledSin(Angle256 a, int32_t r);
int32_t ScaledCos(Angle256 a, int32_t r);
int32_t Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void SetRect4(Box* rect, int32_t x, int32_t y, int32_t w, int32_t h);
