// The pool of 32 explosion animations.
#pragma once
#include <cstdint>

constexpr int32_t EXPLOSION_COUNT = 32;

struct Explosion {
  int32_t active;
  int32_t x;  // world corner of the 32x32 picture
  int32_t y;
  int32_t frame;  // picture 0..3
  int32_t delay;  // steps per picture minus one
  int32_t tick;
};

extern Explosion Explosions[EXPLOSION_COUNT];

// Starts an explosion at a world corner; dropped silently when the pool is full.
void SpawnExplosion(int32_t x, int32_t y);
// Advances and draws every active explosion.
void StepExplosions();
