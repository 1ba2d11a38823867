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

constexpr Box GREY_TITLE = {0, 32, 176, 48}, COLOUR_TITLE = {0, 80, 176, 64};
constexpr Box SUN = {176, 32, 47, 47}, EARTH = {224, 32, 47, 47}, MOON = {272, 32, 47, 47};
constexpr Box MAKER_LOGO = {0, 144, 176, 32}, GAME_OVER = {0, 176, 160, 32}, NONE = {0, 0, 0, 0};
constexpr uint8_t ART = 60;
bool IsFont(uint8_t c) { return c >= 150 && c < 190; }

// The box clipped to the screen, as a comparable tuple.
std::tuple<int32_t, int32_t, int32_t, int32_t> OnScreen(Box b) {
  const int32_t x0 = std::max(b.x, 0), y0 = std::max(b.y, 0);
  const int32_t x1 = std::min(b.x + b.w, 320), y1 = std::min(b.y + b.h, 240);
  return x1 <= x0 || y1 <= y0 ? std::make_tuple(0, 0, 0, 0)
                              : std::make_tuple(x0, y0, x1 - x0, y1 - y0);
}

// A sheet that holds only the font (a column pattern, so that glyphs differ) and what a test
// paints; the rest is transparent black, so sparkles and battle sprites leave no mark.
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
  uint8_t Px(const Surface* s, int32_t x, int32_t y) const { return s->pixels[y * s->pitch + x]; }
  Box Bounds(uint8_t colour) const {
    int32_t x0 = 320, y0 = 240, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        if (Px(screen_, x, y) == colour)
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    return x1 < 0 ? NONE : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
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
    for (int32_t py = y; py < std::min(y + 16, 240); ++py)
      for (int32_t px = x; px < std::min(x + TextWidth(text), 320); ++px) {
        glyph += Px(ref, px, py) != 0;
        wrong += Px(ref, px, py) != 0 && Px(ref, px, py) != Px(screen_, px, py);
        stray += IsFont(Px(screen_, px, py));
      }
    ReleaseSurface(ref);
    return shown ? glyph > 0 && wrong == 0 : stray == 0;
  }
  void RunAt(int32_t (*frame)(), uint32_t t, int32_t phase, uint8_t backdrop = 0) {
    for (int32_t y = 0; y < 240; ++y) std::fill_n(&screen_->pixels[y * 320], 320, backdrop);
    SceneTimer = t;
    ScenePhase = phase;
    frame();
  }
  Surface *sheet_ = nullptr, *screen_ = nullptr;
  Clipper clip_{{0, 0, 320, 240}};
};

// The battle behind the result and game over, its globe parked top-left so that its crosshair
// stays clear of the texts.
void Backdrop(int32_t mission, int32_t (*enter)()) {
  MissionIndex = mission;
  Level = 0;
  EnterBattle();
  PlayerGlobe = {10, 20, 0, 0, 192, 0.0f, 950, 0, 0};
  TimeLeft = 4000;
  enter();
}

// One picture per moving path, with the clipped ones that reach past the screen's edges.
TEST_F(SceneScreen, PicturesLandWhereTheirPathsPutThem) {
  struct Case {
    int32_t (*frame)();
    uint32_t t;
    int32_t phase;
    Box art, expected;  // expected before clipping to the screen
  };
  // Table values used: sin/cos 0 and 64 are whole, cos 8 = 0.98, sin 16 = 0.38, cos 16 = 0.92.
  for (const Case& c : {Case{LogoFrame, 3, 0, MAKER_LOGO, NONE},
                        Case{LogoFrame, 4, 0, MAKER_LOGO, {72, 131, 176, 1}},
                        Case{LogoFrame, 300, 1, MAKER_LOGO, {72, 100, 176, 32}},
                        Case{TitleFrame, 128, 0, GREY_TITLE, {72, 48, 176, 48}},
                        Case{TitleFrame, 77, 0, SUN, {160, 124, 47, 47}},
                        Case{TitleFrame, 16, 0, MOON, {160 + 30 + 32, 124 + 73, 47, 47}},
                        Case{TitleFrame, 8, 0, COLOUR_TITLE, {72, 56 + 15 + 14, 176, 64}},
                        Case{BriefingFrame, 16, 0, EARTH, {48 + 4 + 160, 73 + 4 + 124, 94, 94}},
                        Case{BriefingFrame, 128, 0, MOON, {192, 76 + 48, 47, 47}},
                        Case{BriefingFrame, 240, 0, SUN, {-120, -94, 188, 188}},
                        Case{GameOverFrame, 10, 0, GAME_OVER, {80, -144, 160, 464}},
                        Case{GameOverFrame, 200, 1, GAME_OVER, {80, 72, 160, 32}},
                        Case{EndingFrame, 400, 0, EARTH, {36, 34, 188, 188}},
                        Case{EndingFrame, 800, 0, GREY_TITLE, NONE},
                        Case{EndingFrame, 896, 1, COLOUR_TITLE, {40, 72, 176, 64}}}) {
    for (int32_t y = c.art.y; y < c.art.y + c.art.h; ++y)
      std::fill_n(&sheet_->pixels[y * sheet_->pitch + c.art.x], c.art.w, ART);
    if (c.frame == GameOverFrame) Backdrop(0, EnterGameOver);
    RunAt(c.frame, c.t, c.phase);
    EXPECT_EQ(OnScreen(Bounds(ART)), OnScreen(c.expected))
        << c.art.x << "," << c.art.y << " t " << c.t;
    for (int32_t y = c.art.y; y < c.art.y + c.art.h; ++y)
      std::fill_n(&sheet_->pixels[y * sheet_->pitch + c.art.x], c.art.w, 0);
  }
}

TEST_F(SceneScreen, TextsStandOnTheirFramesAndBlink) {
  struct Case {
    int32_t (*frame)();
    uint32_t t;
    int32_t phase;  // 9: the result of the boss mission, counting
    int32_t x, y;
    const char* text;
    bool shown;
  };
  for (const Case& c : {Case{TitleFrame, 6, 0, 16, 2, "HI SCORE 020000    SCORE 12345670", true},
                        Case{TitleFrame, 4, 0, 80, 160, "PLEASE PRESS START", false},
                        Case{TitleFrame, 5, 0, 80, 160, "PLEASE PRESS START", true},
                        Case{PrologueFrame, 1, 0, 64, 223, "A SPACEWAR", false},
                        Case{PrologueFrame, 100, 0, 64, 140, "A SPACEWAR", true},
                        Case{BriefingFrame, 59, 0, 48, 100, "KEEP", false},
                        Case{BriefingFrame, 60, 0, 48, 100, "KEEP", true},
                        Case{BriefingFrame, 480, 0, 48, 164, "GOOD LUCK", true},
                        Case{ResultFrame, 0, 0, 112, 112, "GOOD FIGHT", true},
                        Case{ResultFrame, 40, 1, 216, 112, "1000", true},
                        Case{ResultFrame, 40, 1, 216, 144, "950", true},
                        Case{ResultFrame, 40, 1, 80, 160, "CLEAR POINT", false},
                        Case{ResultFrame, 40, 1, 88, 192, "TOTAL POINT  2350", true},
                        Case{ResultFrame, 40, 9, 216, 160, "10000", true},
                        Case{ResultFrame, 90, 2, 80, 112, "TRY TO NEXT MISSION", true},
                        Case{GameOverFrame, 79, 1, 96, 112, "PRESS ANY KEY", false},
                        Case{GameOverFrame, 80, 1, 96, 112, "PRESS ANY KEY", true},
                        Case{GameOverFrame, 96, 1, 96, 112, "PRESS ANY KEY", false},
                        Case{EndingFrame, 100, 0, 64, 140, "CONGRATURATION", true},
                        Case{EndingFrame, 776, 0, 64, 0, "GOODLUCK", false},
                        Case{EndingFrame, 809, 1, 52, 160, "PRESS ANY TO NEXT LEVEL", true},
                        Case{EndingFrame, 802, 1, 56, 184, "THANK YOU FOR PLAYING", true}}) {
    HiScore = 2000;
    Score = c.frame == TitleFrame ? 1234567 : 123;
    if (c.frame == ResultFrame) Backdrop(c.phase == 9 ? 9 : 0, EnterResult);
    if (c.frame == GameOverFrame) Backdrop(0, EnterGameOver);
    if (c.phase == 9) ResultTarget = 1 << 30;
    RunAt(c.frame, c.t, c.phase == 9 ? 1 : c.phase);
    EXPECT_TRUE(Shows(c.text, c.x, c.y, c.shown)) << c.text << " at t = " << c.t;
  }
}

// The curtain darkens even columns of even rows up to 5 t wide; column 319 is never touched.
TEST_F(SceneScreen, GameOverCurtainSweepsInFivePixelsAFrame) {
  Backdrop(0, EnterGameOver);
  for (const auto& [t, phase, width] : {std::tuple{10u, 0, 50}, {64u, 0, 320}, {65u, 1, 319}}) {
    RunAt(GameOverFrame, t, phase, 7);
    for (int32_t y = 40; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        ASSERT_EQ(Px(screen_, x, y) == 0, x % 2 == 0 && y % 2 == 0 && x < width) << x << "," << y;
  }
}

}  // namespace
