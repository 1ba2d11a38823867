// The briefing before a new game: earth, moon and sun and the order, line by line.
#include "scenes/briefing.h"

#include "core/scene_state.h"
#include "battle/battle_state.h"
#include "battle/star_field.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "scenes/scene_art.h"

namespace {
constexpr uint32_t BRIEFING_FRAMES = 480;
constexpr int32_t LINE_COLOUR = 24;
// One word a second; the empty entries keep the list longer than the scene lasts.
constexpr const char* ORDER[] = {"KEEP", "THE", "GLOBE", " ", "GOOD LUCK", "", "", "", ""};
constexpr uint32_t ORDER_COUNT = sizeof ORDER / sizeof ORDER[0];
}  // namespace

// A new game starts here: score, mission and level go back to the beginning.
int32_t EnterBriefing() {
  StarFieldStep(1);
  SceneTimer = 0;
  Score = 0;
  MissionIndex = 0;
  Level = 0;
  SetMusicTempo(100);
  return 1;
}

int32_t BriefingFrame() {
  const uint32_t t = SceneTimer;
  const int32_t a = static_cast<int32_t>(t & 0xFF);
  const int32_t drift = static_cast<int32_t>(t / 4);
  StarFieldStep(0);
  const int32_t ex = ScaledSin(a, 128) + drift + 160;
  const int32_t ey = ScaledCos(a, 80) + drift + 124;
  DrawArt(ART_EARTH, ex, ey, 94, 94);
  DrawArt(ART_MOON, ex + ScaledSin(4 * a, 64), ey + ScaledCos(4 * a, 48));
  DrawArt(ART_SUN, -80 - static_cast<int32_t>(t / 6), -64 - static_cast<int32_t>(t / 8), 188, 188);
  const uint32_t n = t / 60;
  for (uint32_t k = 0; k < n && k < ORDER_COUNT; ++k) {
    if (ORDER[k][0] != '\0') gf_TextDraw(ORDER[k], 48, 100 + 16 * static_cast<int32_t>(k));
  }
  gf_DD_LineDraw(ScreenSurface, 0, 180, 320, 180, LINE_COLOUR);
  gf_DD_LineDraw(ScreenSurface, 44, 0, 44, 240, LINE_COLOUR);
  if (ButtonPress() || t > BRIEFING_FRAMES) ChangeScene(SCENE_BATTLE);
  SceneTimer += 1;
  return 1;
}
