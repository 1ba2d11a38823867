// Where the screens outside the battle put their pictures and texts, read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "app/frame_cycle.h"
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "scenes/boot_logo.h"
#include "scenes/briefing.h"
#include "scenes/ending.h"
#include "scenes/game_over.h"
#include "scenes/result.h"
#include "scenes/title_prologue.h"

namespace {

constexpr Box COLOUR_TITLE = {0, 80, 176, 64}, SUN = {176, 32, 47, 47};
constexpr Box EARTH = {224, 32, 47, 47}, MOON = {272, 32, 47, 47};
constexpr Box MAKER_LOGO = {0, 144, 176, 32}, GAME_OVER = {0, 176, 160, 32};
constexpr uint8_t ART = 60;

// A sheet that holds only the font (a column pattern, so that glyphs differ) and the picture a
// case paints; the rest is transparent black, so sparkles and battle sprites leave no mark.
class SceneScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    SheetSurface = sheet_ = CreateSurface(319, 240);
    ScreenSurface = screen_ = CreateSurface(320, 240);
    sheet_->hasColorKey = true;
    screen_->clipper = &clip_;
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 319; ++x) sheet_->pixels[y * sheet_->pitch + x] = 150 + x % 40;
    InputState = {};
    FakeMidiResetAll();
    MusicInit();
  }
  void TearDown() override {
    MusicShutdown();
    SheetSurface = ScreenSurface = nullptr;
    ReleaseSurface(sheet_);
    ReleaseSurface(screen_);
  }
  static uint8_t Px(const Surface* s, int32_t x, int32_t y) { return s->pixels[y * s->pitch + x]; }
  // The box the art colour covers on the screen, clipped expectations compared alike.
  std::tuple<int32_t, int32_t, int32_t, int32_t> ArtBounds() const {
    int32_t x0 = 320, y0 = 240, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        if (Px(screen_, x, y) == ART)
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    return x1 < 0 ? std::tuple(0, 0, 0, 0) : std::tuple(x0, y0, x1 + 1, y1 + 1);
  }
  // Shown: every glyph pixel of the text drawn at (x, y) is on the screen; hidden: no glyph
  // pixel at all in the text's box.
  bool Shows(const char* text, int32_t x, int32_t y, bool shown) {
    Surface* ref = CreateSurface(320, 240);
    Clipper clip{{0, 0, 320, 240}};
    ref->clipper = &clip;
    ScreenSurface = ref;
    gf_TextDraw(text, x, y);
    ScreenSurface = screen_;
    int32_t glyph = 0, wrong = 0, stray = 0;
    for (int32_t py = y; py < y + 16; ++py)
      for (int32_t px = x; px < std::min(x + TextWidth(text), 320); ++px) {
        const uint8_t want = Px(ref, px, py), got = Px(screen_, px, py);
        glyph += want != 0;
        wrong += want != 0 && want != got;
        stray += got >= 150 && got < 190;
      }
    ReleaseSurface(ref);
    return shown ? glyph > 0 && wrong == 0 : stray == 0;
  }
  Surface *sheet_ = nullptr, *screen_ = nullptr;
  Clipper clip_{{0, 0, 320, 240}};
};

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
        Case{LogoFrame, 300, 1, MAKER_LOGO, {72, 100, 176, 32}},
        Case{TitleFrame, 16, 0, MOON, {160 + 30 + 32, 124 + 73, 47, 47}},
        Case{TitleFrame, 8, 0, COLOUR_TITLE, {72, 56 + 15 + 14, 176, 64}},
        Case{BriefingFrame, 16, 0, EARTH, {48 + 4 + 160, 73 + 4 + 124, 94, 94}},
        Case{BriefingFrame, 240, 0, SUN, {-120, -94, 188, 188}},
        Case{GameOverFrame, 10, 0, GAME_OVER, {80, -144, 160, 464}},
        Case{EndingFrame, 400, 0, EARTH, {36, 34, 188, 188}},
        Case{EndingFrame, 896, 1, COLOUR_TITLE, {40, 72, 176, 64}},
        Case{TitleFrame, 6, 0, T, {16, 2, 0, 0}, "HI SCORE 020000    SCORE 12345670", true},
        Case{TitleFrame, 5, 0, T, {80, 160, 0, 0}, "PLEASE PRESS START", true},
        Case{PrologueFrame, 100, 0, T, {64, 140, 0, 0}, "A SPACEWAR", true},
        Case{BriefingFrame, 59, 0, T, {48, 100, 0, 0}, "KEEP", false},
        Case{BriefingFrame, 60, 0, T, {48, 100, 0, 0}, "KEEP", true},
        Case{ResultFrame, 40, 1, T, {216, 112, 0, 0}, "1000", true},
        Case{ResultFrame, 40, 1, T, {80, 160, 0, 0}, "CLEAR POINT", false},
        Case{ResultFrame, 40, 1, T, {88, 192, 0, 0}, "TOTAL POINT  2350", true},
        Case{ResultFrame, 40, 9, T, {216, 160, 0, 0}, "10000", true},
        Case{ResultFrame, 90, 2, T, {80, 112, 0, 0}, "TRY TO NEXT MISSION", true},
        Case{GameOverFrame, 79, 1, T, {96, 112, 0, 0}, "PRESS ANY KEY", false},
        Case{GameOverFrame, 80, 1, T, {96, 112, 0, 0}, "PRESS ANY KEY", true},
        Case{EndingFrame, 100, 0, T, {64, 140, 0, 0}, "CONGRATURATION", true},
        Case{EndingFrame, 809, 1, T, {52, 160, 0, 0}, "PRESS ANY TO NEXT LEVEL", true}}) {
    for (int32_t y = 32; y < 240; ++y) std::fill_n(&sheet_->pixels[y * sheet_->pitch], 319, 0);
    for (int32_t y = c.art.y; y < c.art.y + c.art.h; ++y)
      std::fill_n(&sheet_->pixels[y * sheet_->pitch + c.art.x], c.art.w, ART);
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
      EXPECT_TRUE(Shows(c.text, c.at.x, c.at.y, c.shown)) << c.text << " at t = " << c.t;
      continue;
    }
    const int32_t x0 = std::max(c.at.x, 0), y0 = std::max(c.at.y, 0);
    EXPECT_EQ(ArtBounds(),
              std::tuple(x0, y0, std::min(c.at.x + c.at.w, 320), std::min(c.at.y + c.at.h, 240)))
        << c.art.x << "," << c.art.y << " at t = " << c.t;
  }
}

// The curtain darkens even columns of even rows up to 5 t wide; column 319 is never touched.
TEST_F(SceneScreen, GameOverCurtainSweepsInFivePixelsAFrame) {
  EnterBattle();
  EnterGameOver();
  for (const auto& [t, phase, width] : {std::tuple{10u, 0, 50}, {65u, 1, 319}}) {
    gf_DD_ScrFill(screen_, 7);
    SceneTimer = t;
    ScenePhase = phase;
    GameOverFrame();
    for (int32_t y = 40; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        ASSERT_EQ(Px(screen_, x, y) == 0, x % 2 == 0 && y % 2 == 0 && x < width) << x << "," << y;
  }
}

}  // namespace
