// The drifting sparkles behind most screens.
#pragma once
#include <cstdint>

constexpr int32_t STAR_COUNT = 32;

struct Star {
  int32_t x;  // screen corner before the sway
  int32_t y;
  int32_t kind;   // picture 0 or 1
  int32_t dx;     // -1 or +1
  int32_t dy;     // 1..8 down or -1..-8 up
  int32_t size;   // 17..32
  int32_t phase;  // sway angle, used modulo 256
};

extern Star StarField[STAR_COUNT];

// Moves, renews and draws every sparkle; reset != 0 renews all of them first.
int32_t StarFieldStep(int32_t reset);
