// The globe against the field's edges and cells, one ram of an object, and the world-space blits.
#include "battle/field_objects.h"

#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "gfx/surface.h"
#include "sound/sound_bank.h"

namespace {

constexpr int32_t RADAR_EMPTY_COLOUR = 10;
constexpr int32_t EDGE_ENERGY_COST = 2;
constexpr int32_t ROCK_ENERGY_COST = 4;

// How hard each face hits each colour: rows MODE_SUN, MODE_TERA, MODE_MOON; columns red, green,
// blue.
constexpr int32_t RAM_MULTIPLIER[3][3] = {{4, 1, 1}, {1, 1, 5}, {6, 6, 6}};

bool IsBreakable(int32_t t) { return t == CELL_RED || t == CELL_GREEN || t == CELL_BLUE; }

// Keeps the globe inside the field; 1 when it touched an edge.
int32_t BounceOffEdges() {
  GlobeRecord& g = PlayerGlobe;
  int32_t bounced = 0;
  if (g.x < 0) {
    g.heading = (128 - g.heading) & 255;
    g.x = 0;
    bounced = 1;
  } else if (g.x > FIELD_WIDTH - 1) {
    g.heading = (128 - g.heading) & 255;
    g.x = FIELD_WIDTH - 1;
    bounced = 1;
  }
  if (g.y < 0) {
    g.heading = (256 - g.heading) & 255;
    g.y = 0;
    bounced = 1;
  } else if (g.y > FIELD_HEIGHT - 1) {
    g.heading = (256 - g.heading) & 255;
    g.y = FIELD_HEIGHT - 1;
    bounced = 1;
  }
  return bounced;
}

// The first solid cell, in index order, whose closed rectangle holds (x, y); -1 when none.
int32_t FirstCellHit(int32_t x, int32_t y) {
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    if (CellTypes[i] == CELL_EMPTY) continue;
    const int32_t left = CELL_WIDTH * (i % FIELD_COLUMNS);
    const int32_t top = CELL_HEIGHT * (i / FIELD_COLUMNS);
    if (left <= x && x <= left + CELL_WIDTH && top <= y && y <= top + CELL_HEIGHT) return i;
  }
  return -1;
}

void RamObject(int32_t i, int32_t t, int32_t x, int32_t y) {
  PlaySoundEffect(SOUND_RAM);
  const int32_t r1 = NextRandom() & 15;
  const int32_t r2 = NextRandom() & 15;
  SpawnExplosion(x + r1 - 24, y + r2 - 16);
  const int32_t r3 = NextRandom() & 15;
  const int32_t r4 = NextRandom() & 15;
  SpawnExplosion(CELL_WIDTH * (i % FIELD_COLUMNS) + r3 + 8,
                 CELL_HEIGHT * (i / FIELD_COLUMNS) + r4 + 8);
  DamageCell(i, t);
}

void BreakObject(int32_t i, int32_t t) {
  ObjectsLeft -= 1;
  CellTypes[i] = CELL_EMPTY;
  gf_DD_BoxFill(SheetSurface, RadarMarkBox(i), RADAR_EMPTY_COLOUR);
  Score += t == CELL_GREEN ? 40 : 10;
  PlaySoundEffect(SOUND_OBJECT_BROKEN);
  // Objects laid by the boss never win the last mission.
  if (ObjectsLeft <= 0 && MissionIndex != BOSS_MISSION) MissionCleared = 1;
  for (int32_t k = 0; k < 8; ++k) {
    const int32_t rx = NextRandom() & 63;
    const int32_t ry = NextRandom() & 63;
    SpawnExplosion(CELL_WIDTH * (i % FIELD_COLUMNS) + rx - 31,
                   CELL_HEIGHT * (i / FIELD_COLUMNS) + ry - 31);
  }
}

}  // namespace

int32_t CollideGlobe() {
  const int32_t bounced = BounceOffEdges();
  GlobeRecord& g = PlayerGlobe;
  const int32_t x = g.x;
  const int32_t y = g.y;
  const int32_t i = FirstCellHit(x, y);
  if (i >= 0) {
    const int32_t t = CellTypes[i];
    g.x = g.prevX;
    g.y = g.prevY;
    g.heading = (g.heading - 128) & 255;
    if (IsBreakable(t)) {
      RamObject(i, t, x, y);
    } else {
      PlaySoundEffect(SOUND_ROCK);
      AddEnergy(-ROCK_ENERGY_COST);
    }
  }
  if (bounced) {
    PlaySoundEffect(SOUND_EDGE_BOUNCE);
    AddEnergy(-EDGE_ENERGY_COST);
  }
  return bounced;
}

int32_t DamageCell(int32_t i, int32_t t) {
  if (BattleOver == 1) return 0;
  if (i < 0 || i >= CELL_COUNT || !IsBreakable(t)) return 0;
  Score += 1;
  const int32_t m = RAM_MULTIPLIER[PlayerGlobe.mode][t];
  CellHp[i] -= (static_cast<int32_t>(PlayerGlobe.speed) + 1) * m;
  if (CellHp[i] >= 0) return 0;
  BreakObject(i, t);
  return 1;
}

void DrawAtWorld(int32_t x, int32_t y, Box src) {
  gf_DD_Blt(SheetSurface, src, ScreenSurface, Box{x, y - CameraTop(), src.w, src.h});
}

void DrawAtWorldScaled(int32_t x, int32_t y, Box src, int32_t pw, int32_t ph) {
  // The hundredth is the single-precision constant; the products are taken in double.
  constexpr double HUNDREDTH = static_cast<double>(0.01f);
  const int32_t w = static_cast<int32_t>(src.w * HUNDREDTH * pw);
  const int32_t h = static_cast<int32_t>(src.h * HUNDREDTH * ph);
  gf_DD_Blt(SheetSurface, src, ScreenSurface, Box{x, y - CameraTop(), w, h});
}
