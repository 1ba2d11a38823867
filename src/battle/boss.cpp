// The boss of the last mission: roaming, bouncing, ramming, recoil, regeneration, laying objects.
#include "battle/boss.h"

#include <cstdio>

#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "core/math_helpers.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "sound/sound_bank.h"

BossRecord BossState = {};

namespace {

constexpr int32_t BOSS_SIZE = 32;
constexpr int32_t BOSS_MAX_X = FIELD_WIDTH - BOSS_SIZE - 1;
constexpr int32_t BOSS_MAX_Y = FIELD_HEIGHT - BOSS_SIZE - 1;
constexpr int32_t CHASE_DISTANCE = 128;
constexpr int32_t WARNING_DISTANCE = 160;
constexpr int32_t WARNING_COLOUR = 224;
constexpr int32_t RADAR_MARK_COLOUR = 255;
constexpr int32_t RECOIL_FRAMES = 32;
constexpr int32_t BEATEN_STUN = 9999;

// Every 16 frames: turn toward straight down while below the globe, toward straight up otherwise.
void ChooseTurn() {
  BossRecord& b = BossState;
  const bool sideways = 64 < b.heading && b.heading < 192;
  if (b.y > PlayerGlobe.y) {
    b.turn = sideways ? 4 : 8;
  } else {
    b.turn = sideways ? 8 : 4;
  }
}

void Accelerate(bool closeToGlobe) {
  BossRecord& b = BossState;
  if (closeToGlobe) {
    if (b.speed < 10.0f) b.speed += 0.2f;
  } else {
    if (b.speed > 4.0f) b.speed -= 0.2f;
  }
}

int32_t BounceOffEdges() {
  BossRecord& b = BossState;
  int32_t hit = 0;
  if (b.x < 0) {
    SpawnExplosion(b.x, b.y);
    b.heading = (128 - b.heading) & 255;
    b.x = 0;
    hit = 1;
  } else if (b.x > BOSS_MAX_X) {
    b.heading = (128 - b.heading) & 255;
    b.x = BOSS_MAX_X;
    hit = 1;
  }
  if (b.y < 0) {
    SpawnExplosion(b.x, b.y);
    b.heading = (256 - b.heading) & 255;
    b.y = 0;
    hit = 1;
  } else if (b.y > BOSS_MAX_Y) {
    SpawnExplosion(b.x, b.y);
    b.heading = (256 - b.heading) & 255;
    b.y = BOSS_MAX_Y;
    hit = 1;
  }
  return hit;
}

// Every solid cell holding the boss's centre turns it back; later cells see the restored place.
int32_t BounceOffCells() {
  BossRecord& b = BossState;
  int32_t hit = 0;
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    if (CellTypes[i] == CELL_EMPTY) continue;
    const int32_t left = CELL_WIDTH * (i % FIELD_COLUMNS);
    const int32_t top = CELL_HEIGHT * (i / FIELD_COLUMNS);
    const int32_t cx = b.x + BOSS_SIZE / 2;
    const int32_t cy = b.y + BOSS_SIZE / 2;
    if (left <= cx && cx <= left + CELL_WIDTH && top <= cy && cy <= top + CELL_HEIGHT) {
      b.x = b.prevX;
      b.y = b.prevY;
      b.heading = (b.heading - 128) & 255;
      hit = 1;
    }
  }
  return hit;
}

// The globe rams the boss when the boss's far corner lies strictly inside the globe's box.
int32_t RamByGlobe() {
  BossRecord& b = BossState;
  const GlobeRecord& g = PlayerGlobe;
  const int32_t bx = b.x + BOSS_SIZE;
  const int32_t by = b.y + BOSS_SIZE;
  if (!(g.x < bx && bx < g.x + 48 && g.y < by && by < g.y + 48)) return 0;
  PlaySoundEffect(SOUND_BOSS_HIT);
  b.heading = (b.heading - 128) & 255;
  b.speed = 9.0f;
  b.x = b.prevX;
  b.y = b.prevY;
  b.stun = RECOIL_FRAMES;
  int32_t damage = (static_cast<int32_t>(g.speed) + 1) * 5;
  if (g.mode == MODE_MOON) damage *= 2;
  b.energy -= damage;
  Score += 5;
  return 1;
}

void Recoil() {
  BossRecord& b = BossState;
  b.stun -= 1;
  const int32_t rx = NextRandom() & 31;
  const int32_t ry = NextRandom() & 31;
  SpawnExplosion(b.x + rx - 16, b.y + ry - 16);
  b.heading = (b.heading + (NextRandom() & 31) - 15) & 255;
  if (b.energy < 0) {
    b.energy = 0;
    MissionCleared = 1;
    b.stun = BEATEN_STUN;
  }
}

// Replaces whatever the cell under the boss's corner holds with a fresh red or blue object.
void LayObject() {
  BossRecord& b = BossState;
  const int32_t i = FIELD_COLUMNS * (b.y / CELL_HEIGHT) + b.x / CELL_WIDTH;
  if (i < 0 || i >= CELL_COUNT) return;
  CellHp[i] = Level * 80 + 48;
  CellTypes[i] = (NextRandom() & 1) * 2;
  gf_DD_BoxDraw(SheetSurface, RadarMarkBox(i), RADAR_MARK_COLOUR);
}

void Routine() {
  if (SceneTimer % 16 == 0) BossState.energy += 1;
  if (SceneTimer % 128 == 0) LayObject();
}

void DrawWarning() {
  gf_DD_BoxDraw(ScreenSurface, Box{GlobeScreenX - 8, GlobeScreenY - 8, 64, 64}, WARNING_COLOUR);
  gf_DD_BoxDraw(ScreenSurface, Box{GlobeScreenX - 16, GlobeScreenY - 16, 80, 80}, WARNING_COLOUR);
}

}  // namespace

int32_t BossStartEnergy() { return Level * 1000 + 3200; }

int32_t BossStep() {
  BossRecord& b = BossState;
  b.prevX = b.x;
  b.prevY = b.y;
  const int32_t d = Distance(PlayerGlobe.x, PlayerGlobe.y, b.x, b.y);
  if (SceneTimer % 16 == 0) ChooseTurn();
  if (b.turn == 8) b.heading = (b.heading + 8) & 255;
  if (b.turn == 4) b.heading = (b.heading - 8) & 255;
  Accelerate(d <= CHASE_DISTANCE);
  const int32_t r = static_cast<int32_t>(b.speed);
  b.x += ScaledCos(b.heading, r);
  b.y += ScaledSin(b.heading, r);
  int32_t hit = BounceOffEdges();
  hit |= BounceOffCells();
  if (BattleOver == 0) hit |= RamByGlobe();
  if (hit == 1 || b.stun > 0) {
    Recoil();
  } else {
    Routine();
  }
  if (d < WARNING_DISTANCE) DrawWarning();
  if (b.energy > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "BOSS ENELGY %d0", static_cast<int>(b.energy));
    gf_TextDraw(text, 64, 146);
  }
  return 1;
}
