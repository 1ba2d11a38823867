// The boot frame (seed, game progress, sheet and sounds) and the maker's logo.
#include "scenes/boot_logo.h"

#include "battle/battle_state.h"
#include "battle/star_field.h"
#include "core/play_options.h"
#include "core/scene_state.h"
#include "gfx/display.h"
#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "scenes/scene_art.h"
#include "sound/sound_bank.h"

namespace {
constexpr int32_t LOGO_X = 72;
constexpr int32_t LOGO_BASE = 132;  // one below the growing logo's lowest row
constexpr int32_t LOGO_Y = 100;
constexpr uint32_t LOGO_FRAMES = 400;
}  // namespace

// The program's second frame: everything later frames rely on is made here, once.
int32_t BootFrame() {
  SeedRandom(ClockChanges & 0xFFFF);
  Score = 0;
  HiScore = 0;
  TimeLeft = 0;
  MissionCleared = 0;
  MissionFailed = 0;
  ObjectsLeft = 0;
  BattleOver = 0;
  MissionIndex = 0;
  Level = 0;
  HiScore = 2000;
  if (KeepHighScore && KeptHighScore > HiScore) HiScore = KeptHighScore;
  SheetSurface = gf_DD_LoadBitmap(DisplayObject, "BMP_00", 0, 0);
  gf_DD_SetColorKey(SheetSurface, 0x000000);
  LoadSoundEffects();
  ChangeScene(SCENE_LOGO);
  return 1;
}

int32_t EnterLogo() {
  SceneTimer = 0;
  ScenePhase = 0;
  StarFieldStep(1);
  SetMusicTempo(100);
  return 1;
}

// The logo grows upwards out of a line one pixel every four frames, then stands.
int32_t LogoFrame() {
  const uint32_t t = SceneTimer;
  if (ScenePhase == 0) {
    const int32_t h = static_cast<int32_t>(t / 4);
    if (h > 0) DrawArt(ART_MAKER_LOGO, LOGO_X, LOGO_BASE - h, ART_MAKER_LOGO.w, h);
    if (h >= ART_MAKER_LOGO.h) ScenePhase = 1;
  } else if (ScenePhase == 1) {
    DrawArt(ART_MAKER_LOGO, LOGO_X, LOGO_Y);
  }
  if (t > LOGO_FRAMES || ButtonPress()) {
    PlaySoundEffect(SOUND_CONFIRM);
    ChangeScene(SCENE_TITLE);
  }
  SceneTimer += 1;
  return 1;
}
