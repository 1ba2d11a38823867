// The ending after mission 10: drifting earth, staff roll and the swaying thanks.
#include "scenes/ending.h"

#include <algorithm>

#include "battle/star_field.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "music/music_player.h"
#include "scenes/scene_art.h"
#include "sound/sound_bank.h"

const char* const EndingLines[ENDING_LINE_COUNT + 1] = {
    "CONGRATURATION",
    "",
    "DESTROY THE",
    "MOTHER OBJECT",
    "",
    "",
    "",
    "PLAN",
    "    Q DEDODIRO",
    "",
    "PROGRAM",
    "    Q DEDODIRO",
    "",
    "GRAPHIC",
    "    Q DEDODIRO",
    "",
    "MUSIC",
    "    Q DEDODIRO",
    "",
    "1997 PRODUCED BY",
    "    DUDEZIZE",
    "",
    "",
    "",
    "TRY THE NEXT LEVEL",
    "",
    "GOODLUCK",
    nullptr,
};

namespace {
constexpr uint32_t EARTH_FRAMES = 920;  // the earth stops drifting here
constexpr uint32_t ROLL_FRAMES = 800;

void DrawThanks(uint32_t t) {
  const int32_t a = static_cast<int32_t>(t & 0xFF);
  const int32_t cx = ScaledCos(a, 32);
  const int32_t cy = ScaledCos(8 * a, 16);
  DrawArt(ART_GREY_TITLE, 76 + cx, 64 + cy);
  gf_TextDraw("DURUZ DAZORA", 106 + cx, 118 + cy);
  DrawArt(ART_COLOUR_TITLE, 72 + cx, 56 + cy);
  if ((t & 31) > 8) gf_TextDraw("PRESS ANY TO NEXT LEVEL", 52, 160);
  gf_TextDraw("THANK YOU FOR PLAYING", 56, 184);
  if (ButtonPress()) {
    StopMusicTrack();
    PlaySoundEffect(SOUND_CONFIRM);
    ChangeScene(SCENE_BATTLE);
  }
}
}  // namespace

int32_t EnterEnding() {
  SceneTimer = 0;
  ScenePhase = 0;
  SetMusicTempo(100);
  PlayMusicTrack(TRACK_ENDING);
  return 1;
}

int32_t EndingFrame() {
  const uint32_t t = SceneTimer;
  StarFieldStep(0);
  const uint32_t m = std::min(t, EARTH_FRAMES);
  DrawArt(ART_EARTH, static_cast<int32_t>(m / 4) - 64, static_cast<int32_t>(m / 6) - 32, 188, 188);
  if (ScenePhase == 0) {
    DrawRisingLines(EndingLines, t);
    if (t > ROLL_FRAMES) ScenePhase = 1;
  } else if (ScenePhase == 1) {
    DrawThanks(t);
  }
  SceneTimer += 1;
  return 1;
}
