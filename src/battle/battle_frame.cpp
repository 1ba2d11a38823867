// One battle frame: the globe's steering and movement, time and energy, banner, danger, end checks.
#include "battle/battle_frame.h"

#include <cstdio>

#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/explosions.h"
#include "battle/field_objects.h"
#include "battle/field_view.h"
#include "battle/star_field.h"
#include "core/math_helpers.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "sound/sound_bank.h"

namespace {

constexpr int32_t AIM_COLOUR = 24;
constexpr int32_t MOON_ENERGY_COST = 5;
constexpr int32_t DANGER_ENERGY = 320;
constexpr int32_t DANGER_TIME = 2000;
constexpr int32_t BANNER_PHASE = 255;
constexpr uint32_t BANNER_FRAMES = 128;

void MoveGlobe() {
  const int32_t r = static_cast<int32_t>(PlayerGlobe.speed);
  PlayerGlobe.x += ScaledCos(PlayerGlobe.heading, r);
  PlayerGlobe.y += ScaledSin(PlayerGlobe.heading, r);
}

// The heading line with a box at its end and a smaller one halfway.
void DrawAimMarker() {
  const int32_t cx = GlobeScreenX + 24;
  const int32_t cy = GlobeScreenY + 24;
  const int32_t h = PlayerGlobe.heading;
  const int32_t ex = cx + ScaledCos(h, 128);
  const int32_t ey = cy + ScaledSin(h, 128);
  gf_DD_LineDraw(ScreenSurface, cx, cy, ex, ey, AIM_COLOUR);
  gf_DD_BoxDraw(ScreenSurface, Box{ex - 8, ey - 8, 16, 16}, AIM_COLOUR);
  gf_DD_BoxDraw(ScreenSurface, Box{cx + ScaledCos(h, 64) - 4, cy + ScaledSin(h, 64) - 4, 8, 8},
                AIM_COLOUR);
}

void DrawBanner() {
  char text[32];
  std::snprintf(text, sizeof text, "MISSION %d", static_cast<int>(MissionIndex + 1));
  gf_TextDraw(text, 80, 96);
  gf_TextDraw(MissionNames[MissionIndex], 80, 120);
  if (SceneTimer > BANNER_FRAMES) ScenePhase = 0;
}

// Low energy or time speeds the music up and puts small blasts beside the globe.
void DangerStep() {
  if (PlayerGlobe.energy >= DANGER_ENERGY && TimeLeft >= DANGER_TIME) return;
  if (SceneTimer % 4 != 0) return;
  SetMusicTempo(130);
  const int32_t r1 = NextRandom() & 15;
  const int32_t r2 = NextRandom() & 15;
  SpawnExplosion(PlayerGlobe.x - 8 - r1, PlayerGlobe.y - 8 - r2);
}

}  // namespace

int32_t CameraTop() {
  const int32_t top = PlayerGlobe.y - 120;
  if (top < 0) return 0;
  if (top > FIELD_HEIGHT - 240) return FIELD_HEIGHT - 240;
  return top;
}

int32_t AddEnergy(int32_t delta) {
  if (BattleOver == 1) return 0;
  PlayerGlobe.energy += delta;
  if (PlayerGlobe.energy < 0) {
    PlayerGlobe.energy = 0;
    MissionFailed = 1;
    return 1;
  }
  return 0;
}

int32_t SteerGlobe() {
  const uint32_t held = InputState.pad.bits;
  const uint32_t pressed = InputState.pressed;
  GlobeRecord& g = PlayerGlobe;
  // Button 1 held wears the moon face; button 2 swaps sun and earth.
  if (held & INPUT_BUTTON1) {
    if (g.mode != MODE_MOON) {
      PlaySoundEffect(SOUND_MODE_CHANGE);
      g.savedMode = g.mode;
      g.mode = MODE_MOON;
    }
  } else {
    if (g.mode == MODE_MOON) g.mode = g.savedMode;
    if (pressed & INPUT_BUTTON2) {
      PlaySoundEffect(SOUND_MODE_CHANGE);
      g.mode = g.mode == MODE_SUN ? MODE_TERA : MODE_SUN;
    }
  }
  int32_t turned = 0;
  if (held & INPUT_RIGHT) {
    g.heading = (g.heading + 8) & 255;
    turned = 1;
  } else if (held & INPUT_LEFT) {
    g.heading = (g.heading - 8) & 255;
    turned = 1;
  }
  if (held & INPUT_UP) {
    if (g.speed < 16.0f) g.speed += 0.2f;
  } else if (held & INPUT_DOWN) {
    if (g.speed > 2.0f) g.speed -= 0.2f;
  }
  return turned;
}

int32_t BattleFrame() {
  StarFieldStep(0);
  PlayerGlobe.prevX = PlayerGlobe.x;
  PlayerGlobe.prevY = PlayerGlobe.y;
  if (BattleOver == 0) SteerGlobe();
  MoveGlobe();
  if (CollideGlobe()) {
    PlayerGlobe.heading = (PlayerGlobe.heading + (NextRandom() & 15) - 7) & 255;
  }
  DrawField();
  StepExplosions();
  DrawAimMarker();
  if (BattleOver == 0) {
    if (PlayerGlobe.mode == MODE_MOON) AddEnergy(-MOON_ENERGY_COST);
    TimeLeft -= 1;
    if (TimeLeft <= 0) MissionFailed = 1;
  }
  if (MissionIndex == BOSS_MISSION) BossStep();
  if (ScenePhase == BANNER_PHASE) DrawBanner();
  DangerStep();
  // Entering the result or game-over scene sets BattleOver, which ends the checks.
  if (BattleOver == 0 && MissionCleared == 1) {
    StopMusicTrack();
    ChangeScene(SCENE_RESULT);
  }
  if (BattleOver == 0 && MissionFailed == 1) {
    StopMusicTrack();
    ChangeScene(SCENE_GAMEOVER);
  }
  if (BattleOver == 0) SceneTimer += 1;
  return 1;
}
