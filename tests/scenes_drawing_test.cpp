// Where the screens outside the battle put their pictures and texts, read back from the screen.
#include <algorithm>
#include <tuple>

#include "battle_fixture.h"
#include "scenes/boot_logo.h"
#include "scenes/briefing.h"
#include "scenes/ending.h"
#include "scenes/game_over.h"
#include "scenes/result.h"
#include "scenes/title_prologue.h"

namespace {

constexpr Box COLOUR_TITLE = {0, 80, 176, 64}, SUN = {176, 32, 47, 47}, MOON = {272, 32, 47, 47};
constexpr Box MAKER_LOGO = {0, 144, 176, 32}, GAME_OVER = {0, 176, 160, 32};
constexpr uint8_t ART = 60;

// The battle's sheet with the font; each case clears the pictures and paints its own, so that
// sparkles and battle sprites leave no mark.
using SceneScreen = BattleTest;

struct Case {
  int32_t (*frame)();
  uint32_t t;
  int32_t phase;  // 9: the result of the boss mission, counting
  Box art, at;    // a picture painted at art lands at (before clipping); or, without art, the
  const char* text = nullptr;  // text at at's corner, shown or not
  bool shown = false;
};

// One case per moving picture, with clipped ones reaching past the screen's edges, and the texts
// on the frames they appear and blink. Table values used: sin/cos 0 and 64 are whole,
// cos 8 = 0.98, sin 16 = 0.38, cos 16 = 0.92.
TEST_F(SceneScreen, PicturesAndTextsLandWhereAndWhenTheyShould) {
  const Box T = {0, 0, 0, 0};
  for (const Case& c :
       {Case{LogoFrame, 4, 0, MAKER_LOGO, {72, 131, 176, 1}},
        Case{TitleFrame, 16, 0, MOON, {160 + 30 + 32, 124 + 73, 47, 47}},
        Case{BriefingFrame, 240, 0, SUN, {-120, -94, 188, 188}},
        Case{GameOverFrame, 10, 0, GAME_OVER, {80, -144, 160, 464}},
        Case{EndingFrame, 896, 1, COLOUR_TITLE, {40, 72, 176, 64}},
        Case{TitleFrame, 6, 0, T, {16, 2, 0, 0}, "HI SCORE 020000    SCORE 12345670", true},
        Case{TitleFrame, 5, 0, T, {80, 160, 0, 0}, "PLEASE PRESS START", true},
        Case{BriefingFrame, 59, 0, T, {48, 100, 0, 0}, "KEEP", false},
        Case{BriefingFrame, 60, 0, T, {48, 100, 0, 0}, "KEEP", true},
        Case{ResultFrame, 40, 1, T, {88, 192, 0, 0}, "TOTAL POINT  2350", true},
        Case{ResultFrame, 40, 9, T, {216, 160, 0, 0}, "10000", true},
        Case{GameOverFrame, 79, 1, T, {96, 112, 0, 0}, "PRESS ANY KEY", false},
        Case{GameOverFrame, 80, 1, T, {96, 112, 0, 0}, "PRESS ANY KEY", true}}) {
    Fill(sheet_, Box{0, 32, 319, 208}, 0);
    Fill(sheet_, c.art, ART);
    HiScore = 2000;
    Score = c.frame == TitleFrame ? 1234567 : 123;
    if (c.frame == ResultFrame || c.frame == GameOverFrame) {
      // The battle behind, its globe parked top-left, clear of the texts.
      MissionIndex = c.phase == 9 ? 9 : 0;
      Level = 0;
      EnterBattle();
      PlayerGlobe = {10, 20, 0, 0, 192, 0.0f, 950, 0, 0};
      TimeLeft = 4000;
      c.frame == ResultFrame ? EnterResult() : EnterGameOver();
      if (c.phase == 9) ResultTarget = 1 << 30;
    }
    gf_DD_ScrFill(screen_, 0);
    SceneTimer = c.t;
    ScenePhase = c.phase == 9 ? 1 : c.phase;
    c.frame();
    if (c.text != nullptr) {
      EXPECT_EQ(ShowsText(c.text, c.at.x, c.at.y), c.shown) << c.text << " at t = " << c.t;
      continue;
    }
    int32_t x0 = 320, y0 = 240, x1 = 0, y1 = 0;  // the box the art covers on the screen
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        if (ScreenAt(x, y) == ART)
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1),
          y1 = std::max(y1, y + 1);
    EXPECT_EQ(std::tuple(x0, y0, x1, y1),
              std::tuple(std::max(c.at.x, 0), std::max(c.at.y, 0), std::min(c.at.x + c.at.w, 320),
                         std::min(c.at.y + c.at.h, 240)))
        << c.art.x << "," << c.art.y << " at t = " << c.t;
  }
}

}  // namespace
