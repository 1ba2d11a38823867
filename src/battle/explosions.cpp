// The pool of 32 explosion animations: spawning, stepping and drawing.
#include "battle/explosions.h"

#include "battle/field_objects.h"
#include "core/math_helpers.h"

Explosion Explosions[EXPLOSION_COUNT] = {};

namespace {

constexpr int32_t LAST_PICTURE = 3;

Box ExplosionPicture(int32_t frame) { return Box{176 + 32 * frame, 176, 32, 32}; }

}  // namespace

void SpawnExplosion(int32_t x, int32_t y) {
  for (Explosion& e : Explosions) {
    if (e.active != 0) continue;
    e.active = 1;
    e.frame = 0;
    e.delay = (NextRandom() & 7) + 1;
    e.tick = 0;
    e.x = x;
    e.y = y;
    return;
  }
}

void StepExplosions() {
  for (Explosion& e : Explosions) {
    if (e.active == 0) continue;
    e.tick += 1;
    if (e.tick > e.delay) {
      e.frame += 1;
      e.tick = 0;
      if (e.frame > LAST_PICTURE) {
        e.active = 0;
        continue;
      }
    }
    DrawAtWorld(e.x, e.y, ExplosionPicture(e.frame));
  }
}
