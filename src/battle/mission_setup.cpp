// Builds a fresh mission from the mission table and the current level.
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/explosions.h"
#include "battle/star_field.h"
#include "core/math_helpers.h"
#include "core/scene_state.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "sound/sound_bank.h"

namespace {

constexpr int32_t RADAR_BORDER_COLOUR = 24;
constexpr int32_t RADAR_EMPTY_COLOUR = 10;
constexpr int32_t RADAR_MARK_COLOUR = 255;

void PlaceGlobe(const MissionRecord& mission) {
  PlayerGlobe = {};
  PlayerGlobe.x = mission.startX + CELL_WIDTH / 2;
  PlayerGlobe.y = mission.startY + CELL_HEIGHT / 2;
  PlayerGlobe.heading = 192;
  PlayerGlobe.speed = 1.0f;
  PlayerGlobe.energy = GLOBE_START_ENERGY;
  PlayerGlobe.mode = MODE_SUN;
  PlayerGlobe.savedMode = MODE_SUN;
}

void PlaceBoss() {
  BossState = {};
  BossState.x = 160;
  BossState.y = 160;
  BossState.heading = 64;
  BossState.speed = 0.0f;
  BossState.turn = 0;
  BossState.energy = BossStartEnergy();
}

// Copies the cells, rolls the hit points (one random number per breakable cell, in index order)
// and paints the mini-map.
void BuildField(const MissionRecord& mission) {
  gf_DD_BoxFill(SheetSurface, RADAR_PANEL, RADAR_BORDER_COLOUR);
  gf_DD_BoxFill(SheetSurface, Box{RADAR_PANEL.x + 1, RADAR_PANEL.y + 1, 20, 30},
                RADAR_EMPTY_COLOUR);
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    const int32_t t = mission.cells[i];
    CellTypes[i] = t;
    if (t == CELL_RED || t == CELL_BLUE) {
      ObjectsLeft += 1;
      CellHp[i] = (NextRandom() & 7) + Level * 80 + 48;
    } else if (t == CELL_GREEN) {
      ObjectsLeft += 1;
      CellHp[i] = (NextRandom() & 15) + Level * 160 + 128;
    }
    gf_DD_BoxDraw(SheetSurface, RadarMarkBox(i),
                  t == CELL_EMPTY ? RADAR_EMPTY_COLOUR : RADAR_MARK_COLOUR);
  }
}

}  // namespace

int32_t EnterBattle() {
  const MissionRecord& mission = MissionTable[MissionIndex];
  StarFieldStep(1);
  for (Explosion& e : Explosions) e.active = 0;
  SceneTimer = 0;
  // The banner shows while the phase holds 255.
  ScenePhase = 255;
  PlaceGlobe(mission);
  PlaceBoss();
  TimeLeft = MISSION_FRAMES;
  ObjectsLeft = 0;
  MissionCleared = 0;
  MissionFailed = 0;
  BattleOver = 0;
  BuildField(mission);
  SetMusicTempo(100);
  if (MissionIndex == BOSS_MISSION) {
    PlayMusicTrack(TRACK_BOSS);
    PlaySoundEffect(SOUND_BOSS_MISSION);
  } else {
    PlayMusicTrack(TRACK_BATTLE1 + MissionIndex % 3);
    PlaySoundEffect(SOUND_MISSION_START);
  }
  return 1;
}
