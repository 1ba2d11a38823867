// The game-over screen: curtain, shrinking lettering, hi-score and the way back to the title.
#include "scenes/game_over.h"

#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "scenes/scene_art.h"
#include "sound/sound_bank.h"

namespace {
constexpr uint32_t CURTAIN_FRAMES = 63;
constexpr int32_t CURTAIN_STEP = 5;  // pixels the curtain grows per frame
constexpr int32_t LETTERING_X = 80;
constexpr int32_t LETTERING_Y = 72;
constexpr float COAST_STEP = 0.1f;
constexpr double COAST_FLOOR = 0.1;

void DrawCurtain(int32_t width) {
  Box curtain;
  SetRect4(&curtain, 0, 0, width, 239);
  gf_DD_BoxMesh(ScreenSurface, curtain, 2, 2, 0);
}

// The curtain sweeps in from the left while the lettering shrinks from 17 times its height.
void MoveIn(int32_t t) {
  if (t > static_cast<int32_t>(CURTAIN_FRAMES)) ScenePhase = 1;
  DrawCurtain(CURTAIN_STEP * t);
  DrawArt(ART_GAME_OVER, LETTERING_X, 4 * (t - 46), ART_GAME_OVER.w,
          ART_GAME_OVER.h + 8 * (64 - t));
}

void WaitForButton(uint32_t t) {
  DrawCurtain(319);
  if ((t & 16) != 0) gf_TextDraw("PRESS ANY KEY", 96, 112);
  DrawArt(ART_GAME_OVER, LETTERING_X, LETTERING_Y);
  if (ButtonPress()) {
    PlaySoundEffect(SOUND_CONFIRM);
    if (Score > HiScore) HiScore = Score;
    ChangeScene(SCENE_TITLE);
  }
}

// The lost globe keeps burning: one explosion a frame somewhere up and left of its centre.
void BurnAroundGlobe() {
  const int32_t x = PlayerGlobe.x + (NextRandom() & 31) - 32;
  const int32_t y = PlayerGlobe.y + (NextRandom() & 31) - 32;
  SpawnExplosion(x, y);
}
}  // namespace

int32_t EnterGameOver() {
  SceneTimer = 0;
  ScenePhase = 0;
  BattleOver = 1;
  SetMusicTempo(100);
  return 1;
}

int32_t GameOverFrame() {
  const uint32_t t = SceneTimer;
  BattleFrame();
  if (ScenePhase == 0) {
    MoveIn(static_cast<int32_t>(t));
  } else if (ScenePhase == 1) {
    WaitForButton(t);
  }
  if (static_cast<double>(PlayerGlobe.speed) > COAST_FLOOR) PlayerGlobe.speed -= COAST_STEP;
  BurnAroundGlobe();
  SceneTimer += 1;
  return 1;
}
