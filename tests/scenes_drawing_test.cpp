// Where the screens outside the battle put their pictures and texts, read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>

#include "app/frame_cycle.h"
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
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
// The font: letters from x 0 in rows 0..15, digits 11 apart in rows 16..31.
constexpr int32_t LETTER_START[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                      95,  106, 118, 127, 142, 155, 165, 177, 188,
                                      199, 208, 218, 229, 240, 255, 266, 277, 288};
constexpr uint8_t LETTER = 100, DIGIT = 140, ART = 60;  // 'A' is 100, '0' is 140

std::tuple<int32_t, int32_t, int32_t, int32_t> T(Box b) {
  const int32_t x0 = std::max(b.x, 0), y0 = std::max(b.y, 0);
  const int32_t x1 = std::min(b.x + b.w, 320), y1 = std::min(b.y + b.h, 240);
  return x1 <= x0 || y1 <= y0 ? std::make_tuple(0, 0, 0, 0)
                              : std::make_tuple(x0, y0, x1 - x0, y1 - y0);
}

// A sheet that holds only what a test paints; the rest is transparent black, so sparkles and
// battle sprites leave no mark.
class SceneScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    SheetSurface = sheet_ = CreateSurface(319, 240);
    ScreenSurface = screen_ = CreateSurface(320, 240);
    sheet_->hasColorKey = true;
    screen_->clipper = &clip_;
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
  void Paint(Box b, uint8_t colour) {
    for (int32_t y = b.y; y < b.y + b.h; ++y)
      std::fill_n(&sheet_->pixels[y * sheet_->pitch + b.x], b.w, colour);
  }
  void PaintFont() {
    for (int32_t i = 0; i < 26; ++i)
      Paint({LETTER_START[i], 0, LETTER_START[i + 1] - LETTER_START[i], 16}, LETTER + i);
    for (int32_t d = 0; d < 10; ++d) Paint({11 * d, 16, 10, 16}, DIGIT + d);
  }
  uint8_t Px(int32_t x, int32_t y) const {
    return x < 0 || y < 0 || x >= 320 || y >= 240 ? 0 : screen_->pixels[y * screen_->pitch + x];
  }
  Box Bounds(uint8_t colour) const {
    int32_t x0 = 320, y0 = 240, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        if (Px(x, y) == colour) {
          x0 = std::min(x0, x), y0 = std::min(y0, y);
          x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    return x1 < 0 ? NONE : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
  // Reads as many characters as expected holds, the first with its corner at (x, y).
  std::string ReadText(int32_t x, int32_t y, const std::string& expected) const {
    std::string s;
    for (int32_t pen = x; s.size() < expected.size();) {
      const uint8_t c = Px(pen + 1, y + 8);
      if (c >= LETTER && c < LETTER + 26) {
        s += static_cast<char>('A' + c - LETTER);
        pen += LETTER_START[c - LETTER + 1] - LETTER_START[c - LETTER] - 1;
      } else {
        s += c >= DIGIT && c < DIGIT + 10 ? static_cast<char>('0' + c - DIGIT) : ' ';
        pen += c >= DIGIT && c < DIGIT + 10 ? 10 : 8;
      }
    }
    return s;
  }
  bool AnyText(Box a) const {
    for (int32_t y = a.y; y < a.y + a.h; ++y)
      for (int32_t x = a.x; x < a.x + a.w; ++x)
        if (Px(x, y) >= LETTER && Px(x, y) < DIGIT + 10) return true;
    return false;
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
void Backdrop(int32_t mission, int32_t energy, int32_t timeLeft, int32_t (*enter)()) {
  MissionIndex = mission;
  Level = 0;
  EnterBattle();
  PlayerGlobe = {10, 20, 0, 0, 192, 0.0f, energy, 0, 0};
  TimeLeft = timeLeft;
  enter();
}

struct ArtCase {
  int32_t (*frame)();
  uint32_t t;
  int32_t phase;
  Box art, expected;  // expected before clipping to the screen
};

class SceneArt : public SceneScreen, public ::testing::WithParamInterface<ArtCase> {};

TEST_P(SceneArt, PictureLandsWhereItsFormulaPutsIt) {
  const ArtCase c = GetParam();
  Paint(c.art, ART);
  if (c.frame == GameOverFrame) Backdrop(0, 999, 5000, EnterGameOver);
  RunAt(c.frame, c.t, c.phase);
  EXPECT_EQ(T(Bounds(ART)), T(c.expected)) << "t = " << c.t;
}

// Table values used: sin/cos 0 and 64 are whole, cos 8 = 0.98, sin 16 = 0.38, cos 16 = 0.92.
INSTANTIATE_TEST_SUITE_P(
    Scenes, SceneArt,
    ::testing::Values(ArtCase{LogoFrame, 3, 0, MAKER_LOGO, NONE},
                      ArtCase{LogoFrame, 4, 0, MAKER_LOGO, {72, 131, 176, 1}},
                      ArtCase{LogoFrame, 64, 0, MAKER_LOGO, {72, 116, 176, 16}},
                      ArtCase{LogoFrame, 128, 0, MAKER_LOGO, {72, 100, 176, 32}},
                      ArtCase{LogoFrame, 300, 1, MAKER_LOGO, {72, 100, 176, 32}},
                      ArtCase{TitleFrame, 0, 0, GREY_TITLE, {72, 80, 176, 48}},
                      ArtCase{TitleFrame, 128, 0, GREY_TITLE, {72, 48, 176, 48}},
                      ArtCase{TitleFrame, 77, 0, SUN, {160, 124, 47, 47}},
                      ArtCase{TitleFrame, 0, 0, EARTH, {160, 204, 47, 47}},
                      ArtCase{TitleFrame, 64, 0, EARTH, {240, 124, 47, 47}},
                      ArtCase{TitleFrame, 16, 0, MOON, {160 + 30 + 32, 124 + 73, 47, 47}},
                      ArtCase{TitleFrame, 64, 0, MOON, {240, 156, 47, 47}},
                      ArtCase{TitleFrame, 0, 0, COLOUR_TITLE, {104, 88, 176, 64}},
                      ArtCase{TitleFrame, 8, 0, COLOUR_TITLE, {72, 56 + 15 + 14, 176, 64}},
                      ArtCase{BriefingFrame, 0, 0, EARTH, {160, 204, 94, 94}},
                      ArtCase{BriefingFrame, 16, 0, EARTH, {48 + 4 + 160, 73 + 4 + 124, 94, 94}},
                      ArtCase{BriefingFrame, 16, 0, MOON, {212 + 64, 201, 47, 47}},
                      ArtCase{BriefingFrame, 128, 0, MOON, {192, 76 + 48, 47, 47}},
                      ArtCase{BriefingFrame, 240, 0, SUN, {-120, -94, 188, 188}},
                      ArtCase{GameOverFrame, 10, 0, GAME_OVER, {80, -144, 160, 464}},
                      ArtCase{GameOverFrame, 50, 0, GAME_OVER, {80, 16, 160, 144}},
                      ArtCase{GameOverFrame, 64, 0, GAME_OVER, {80, 72, 160, 32}},
                      ArtCase{GameOverFrame, 200, 1, GAME_OVER, {80, 72, 160, 32}},
                      ArtCase{EndingFrame, 0, 0, EARTH, {-64, -32, 188, 188}},
                      ArtCase{EndingFrame, 400, 0, EARTH, {36, 34, 188, 188}},
                      ArtCase{EndingFrame, 1000, 1, EARTH, {166, 121, 188, 188}},
                      ArtCase{EndingFrame, 800, 0, GREY_TITLE, NONE},
                      ArtCase{EndingFrame, 832, 1, GREY_TITLE, {76, 80, 176, 48}},
                      ArtCase{EndingFrame, 1024, 1, GREY_TITLE, {108, 80, 176, 48}},
                      ArtCase{EndingFrame, 896, 1, COLOUR_TITLE, {40, 72, 176, 64}}));

struct TextCase {
  int32_t (*frame)();
  uint32_t t;
  int32_t phase;
  int32_t x, y;
  const char* text;  // read there, or nothing but blanks there when shown is false
  bool shown;
};

class SceneText : public SceneScreen, public ::testing::WithParamInterface<TextCase> {};

TEST_P(SceneText, TextStandsOnItsFrames) {
  const TextCase c = GetParam();
  PaintFont();
  HiScore = 2000;
  Score = c.frame == TitleFrame && c.t == 6 ? 1234567 : 123;
  if (c.frame == ResultFrame) Backdrop(c.phase == 9 ? 9 : 0, 950, 4000, EnterResult);
  if (c.frame == GameOverFrame) Backdrop(0, 999, 5000, EnterGameOver);
  if (c.phase == 9) ResultTarget = 1 << 30;  // mission 10, counting
  RunAt(c.frame, c.t, c.phase == 9 ? 1 : c.phase);
  const std::string text = c.text;
  const int32_t width = static_cast<int32_t>(text.size()) * 14;
  if (c.shown) {
    EXPECT_EQ(ReadText(c.x, c.y, text), text) << "t = " << c.t;
  } else {
    EXPECT_FALSE(AnyText({c.x, c.y, width, 16})) << text << " at t = " << c.t;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, SceneText,
    ::testing::Values(TextCase{TitleFrame, 5, 0, 16, 2, "HI SCORE 020000    SCORE 001230", true},
                      TextCase{TitleFrame, 6, 0, 16, 2, "HI SCORE 020000    SCORE 12345670", true},
                      TextCase{TitleFrame, 64, 0, 102, 112, "DURUZ DAZORA", true},
                      TextCase{TitleFrame, 4, 0, 80, 160, "PLEASE PRESS START", false},
                      TextCase{TitleFrame, 5, 0, 80, 160, "PLEASE PRESS START", true},
                      TextCase{TitleFrame, 20, 0, 80, 160, "PLEASE PRESS START", false},
                      TextCase{TitleFrame, 31, 0, 80, 160, "PLEASE PRESS START", true},
                      TextCase{PrologueFrame, 1, 0, 64, 223, "A SPACEWAR", false},
                      TextCase{PrologueFrame, 100, 0, 64, 140, "A SPACEWAR", true},
                      TextCase{PrologueFrame, 100, 0, 64, 180, "FUNCTION", true},
                      TextCase{PrologueFrame, 700, 0, 64, 80, "GOODLUCK", true},
                      TextCase{BriefingFrame, 59, 0, 48, 100, "KEEP", false},
                      TextCase{BriefingFrame, 60, 0, 48, 100, "KEEP", true},
                      TextCase{BriefingFrame, 180, 0, 48, 132, "GLOBE", true},
                      TextCase{BriefingFrame, 299, 0, 48, 164, "GOOD LUCK", false},
                      TextCase{BriefingFrame, 480, 0, 48, 164, "GOOD LUCK", true},
                      TextCase{ResultFrame, 0, 0, 112, 112, "GOOD FIGHT", true},
                      TextCase{ResultFrame, 40, 1, 64, 64, "TECHNICAL BONUS POINT", true},
                      TextCase{ResultFrame, 40, 1, 80, 112, "LEVEL POINT", true},
                      TextCase{ResultFrame, 40, 1, 216, 112, "1000", true},
                      TextCase{ResultFrame, 40, 1, 80, 128, "TIME POINT", true},
                      TextCase{ResultFrame, 40, 1, 216, 128, "400", true},
                      TextCase{ResultFrame, 40, 1, 80, 144, "ENELGY POINT", true},
                      TextCase{ResultFrame, 40, 1, 216, 144, "950", true},
                      TextCase{ResultFrame, 40, 1, 80, 160, "CLEAR POINT", false},
                      TextCase{ResultFrame, 40, 1, 88, 192, "TOTAL POINT  2350", true},
                      TextCase{ResultFrame, 40, 9, 80, 160, "CLEAR POINT", true},
                      TextCase{ResultFrame, 40, 9, 216, 160, "10000", true},
                      TextCase{ResultFrame, 90, 2, 80, 112, "TRY TO NEXT MISSION", true},
                      TextCase{GameOverFrame, 48, 0, 96, 112, "PRESS ANY KEY", false},
                      TextCase{GameOverFrame, 79, 1, 96, 112, "PRESS ANY KEY", false},
                      TextCase{GameOverFrame, 80, 1, 96, 112, "PRESS ANY KEY", true},
                      TextCase{GameOverFrame, 95, 1, 96, 112, "PRESS ANY KEY", true},
                      TextCase{GameOverFrame, 96, 1, 96, 112, "PRESS ANY KEY", false},
                      TextCase{EndingFrame, 100, 0, 64, 140, "CONGRATURATION", true},
                      TextCase{EndingFrame, 100, 0, 64, 180, "DESTROY THE", true},
                      TextCase{EndingFrame, 300, 0, 64, 100, "    Q DEDODIRO", true},
                      TextCase{EndingFrame, 755, 0, 64, 5, "GOODLUCK", true},
                      TextCase{EndingFrame, 776, 0, 64, 0, "GOODLUCK", false},
                      TextCase{EndingFrame, 808, 1, 52, 160, "PRESS ANY TO NEXT LEVEL", false},
                      TextCase{EndingFrame, 809, 1, 52, 160, "PRESS ANY TO NEXT LEVEL", true},
                      TextCase{EndingFrame, 840, 1, 52, 160, "PRESS ANY TO NEXT LEVEL", false},
                      TextCase{EndingFrame, 832, 1, 106, 134, "DURUZ DAZORA", true},
                      TextCase{EndingFrame, 802, 1, 56, 184, "THANK YOU FOR PLAYING", true}));

TEST_F(SceneScreen, BriefingFramesTheScreenWithTwoLines) {
  RunAt(BriefingFrame, 10, 0);
  for (int32_t x = 1; x < 320; ++x) ASSERT_EQ(Px(x, 180), 24) << "x = " << x;
  for (int32_t y = 1; y < 240; ++y) ASSERT_EQ(Px(44, y), 24) << "y = " << y;
}

// The curtain darkens even columns of even rows up to 5 t wide; column 319 is never touched.
TEST_F(SceneScreen, GameOverCurtainSweepsInFivePixelsAFrame) {
  Backdrop(0, 999, 5000, EnterGameOver);
  for (const auto& [t, phase, width] : {std::tuple{10u, 0, 50}, {64u, 0, 320}, {65u, 1, 319}}) {
    RunAt(GameOverFrame, t, phase, 7);
    for (int32_t y = 40; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        ASSERT_EQ(Px(x, y) == 0, x % 2 == 0 && y % 2 == 0 && x < width) << x << "," << y;
  }
}

}  // namespace
