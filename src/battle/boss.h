// The roaming boss of the last mission.
#pragma once
#include <cstdint>

struct BossRecord {
  int32_t x;  // world corner of the 32x32 sprite, kept in 0..287 and 0..447
  int32_t y;
  int32_t prevX;
  int32_t prevY;
  int32_t heading;  // Angle256
  float speed;
  int32_t energy;  // units of ten
  int32_t turn;    // held turn: 8 clockwise, 4 anticlockwise, 0 before the first choice
  int32_t stun;    // recoil frames left
};

extern BossRecord BossState;

// Boss energy at the start of a mission.
int32_t BossStartEnergy();
// One frame of the boss: steering, movement, bounces, ram, recoil, regeneration, laying.
int32_t BossStep();
