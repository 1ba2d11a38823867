// The title screen with its orbiting globes and the scrolling prologue text.
#include "scenes/title_prologue.h"

#include <cstdio>

#include "battle/battle_state.h"
#include "battle/star_field.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "music/music_player.h"
#include "scenes/scene_art.h"
#include "sound/sound_bank.h"

const char* const PrologueLines[PROLOGUE_LINE_COUNT + 1] = {
    "A SPACEWAR",
    "THE CREATEWINDOW",
    "FUNCTION",
    "CREATES AN OVERLAPPED",
    "POPUP OR CHILD WINDOW",
    "IT SPECIFIC THE",
    "CLASS TITLE STYLE",
    "AND INITIAL POSITION",
    "AND SIZE OF THE WINDOW",
    "THE FUNCTION ALSO",
    "SPECIFIES THE WINDOW",
    "",
    "PARAMETERS",
    "THE GLOBE IS ROUND",
    "THE SUN IS HOT",
    "THE MOON IS NO CHEESE",
    "RETURN VALUE",
    "IF THE FUNCTION FAILS",
    "THE UNIVERSE IS LOST",
    "REMARKS",
    "DO NOT RAM THE ROCKS",
    "ROCKS DO NOT CARE",
    "SEE ALSO",
    "KEEP THE GLOBE",
    "PAGE 2 OF 1",
    "",
    "",
    "GOODLUCK",
    nullptr,
};

namespace {
constexpr uint32_t TITLE_FRAMES = 800;
constexpr uint32_t PROLOGUE_FRAMES = 900;
}  // namespace

int32_t EnterTitle() {
  SceneTimer = 0;
  SetMusicTempo(100);
  PlayMusicTrack(TRACK_TITLE);
  return 1;
}

// Everything on the title moves with t: the bob, the orbits and the blinking prompt.
int32_t TitleFrame() {
  const uint32_t t = SceneTimer;
  const int32_t a = static_cast<int32_t>(t & 0xFF);
  const int32_t c = ScaledCos(a, 16);
  StarFieldStep(0);
  DrawArt(ART_GREY_TITLE, 72, 64 + c);
  DrawArt(ART_SUN, 160, 124);
  const int32_t ex = 160 + ScaledSin(a, 80);
  const int32_t ey = 124 + ScaledCos(a, 80);
  DrawArt(ART_EARTH, ex, ey);
  DrawArt(ART_MOON, ex + ScaledSin(4 * a, 32), ey + ScaledCos(4 * a, 32));
  gf_TextDraw("DURUZ DAZORA", 102, 112 + c);
  DrawArt(ART_COLOUR_TITLE, 72 + ScaledCos(8 * a, 32), 56 + c + ScaledCos(2 * a, 16));
  char line[64];
  std::snprintf(line, sizeof line, "HI SCORE %05d0    SCORE %05d0", HiScore, Score);
  gf_TextDraw(line, 16, 2);
  if ((t & 15) > 4) gf_TextDraw("PLEASE PRESS START", 80, 160);
  if (ButtonPress()) {
    StopMusicTrack();
    ChangeScene(SCENE_BRIEFING);
    PlaySoundEffect(SOUND_CONFIRM);
  } else if (t > TITLE_FRAMES) {
    StopMusicTrack();
    ChangeScene(SCENE_PROLOGUE);
  }
  SceneTimer += 1;
  return 1;
}

int32_t EnterPrologue() {
  SceneTimer = 0;
  ScenePhase = 0;
  SetMusicTempo(100);
  PlayMusicTrack(TRACK_PROLOGUE);
  return 1;
}

int32_t PrologueFrame() {
  const uint32_t t = SceneTimer;
  StarFieldStep(0);
  DrawRisingLines(PrologueLines, t);
  if (t > PROLOGUE_FRAMES) {
    StopMusicTrack();
    ChangeScene(SCENE_LOGO);
  } else if (ButtonPress()) {
    StopMusicTrack();
    ChangeScene(SCENE_TITLE);
    PlaySoundEffect(SOUND_CONFIRM);
  }
  SceneTimer += 1;
  return 1;
}
