// Where the screens outside the battle put their pictures and texts, read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

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

// Sheet boxes as the pictures are laid out on the sheet.
constexpr Box GREY_TITLE = {0, 32, 176, 48};
constexpr Box COLOUR_TITLE = {0, 80, 176, 64};
constexpr Box SUN = {176, 32, 47, 47};
constexpr Box EARTH = {224, 32, 47, 47};
constexpr Box MOON = {272, 32, 47, 47};
constexpr Box MAKER_LOGO = {0, 144, 176, 32};
constexpr Box GAME_OVER = {0, 176, 160, 32};

// The font: letters from x 0 in rows 0..15, digits 11 apart in rows 16..31.
constexpr int32_t LETTER_START[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                      95,  106, 118, 127, 142, 155, 165, 177, 188,
                                      199, 208, 218, 229, 240, 255, 266, 277, 288};
constexpr uint8_t LETTER_COLOUR = 100;  // 'A' .. 'Z' are 100 .. 125
constexpr uint8_t DIGIT_COLOUR = 140;   // '0' .. '9' are 140 .. 149
constexpr uint8_t ART_COLOUR = 60;
constexpr uint8_t BACKDROP = 7;

int32_t LetterWidth(char c) { return LETTER_START[c - 'A' + 1] - LETTER_START[c - 'A'] - 1; }

Box Clip(Box b) {
  const int32_t x0 = std::max(b.x, 0), y0 = std::max(b.y, 0);
  const int32_t x1 = std::min(b.x + b.w, 320), y1 = std::min(b.y + b.h, 240);
  return {x0, y0, x1 - x0, y1 - y0};
}

// Boxes compare and print as tuples.
std::tuple<int32_t, int32_t, int32_t, int32_t> T(Box b) { return {b.x, b.y, b.w, b.h}; }

// A sheet that holds only what a test asks for; everything else is transparent black, so the
// sparkles and the battle's sprites leave no mark.
class SceneScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    savedSheet_ = SheetSurface;
    savedScreen_ = ScreenSurface;
    sheet_ = CreateSurface(319, 240);
    sheet_->hasColorKey = true;
    sheet_->colorKey = 0;
    screen_ = CreateSurface(320, 240);
    clip_.rect = {0, 0, 320, 240};
    screen_->clipper = &clip_;
    SheetSurface = sheet_;
    ScreenSurface = screen_;
    InputState = {};
    FakeMidiResetAll();
    MusicInit();
  }

  void TearDown() override {
    MusicShutdown();
    FakeMidiResetAll();
    SheetSurface = savedSheet_;
    ScreenSurface = savedScreen_;
    ReleaseSurface(sheet_);
    ReleaseSurface(screen_);
  }

  void PaintSheet(Box b, uint8_t colour) {
    for (int32_t y = b.y; y < b.y + b.h; ++y)
      for (int32_t x = b.x; x < b.x + b.w; ++x) sheet_->pixels[y * sheet_->pitch + x] = colour;
  }

  void PaintFont() {
    for (int32_t i = 0; i < 26; ++i)
      PaintSheet({LETTER_START[i], 0, LETTER_START[i + 1] - LETTER_START[i], 16},
                 static_cast<uint8_t>(LETTER_COLOUR + i));
    for (int32_t d = 0; d < 10; ++d)
      PaintSheet({11 * d, 16, 10, 16}, static_cast<uint8_t>(DIGIT_COLOUR + d));
  }

  void FillScreen(uint8_t colour) {
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x) screen_->pixels[y * screen_->pitch + x] = colour;
  }

  uint8_t Px(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= 320 || y >= 240) return 0;
    return screen_->pixels[y * screen_->pitch + x];
  }

  // The smallest box holding every pixel of the colour; w = 0 when there is none.
  Box Bounds(uint8_t colour) const {
    int32_t x0 = 320, y0 = 240, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        if (Px(x, y) == colour) {
          x0 = std::min(x0, x), y0 = std::min(y0, y);
          x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (x1 < 0) return {0, 0, 0, 0};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }

  // Reads n characters of font text whose first character's corner is (x, y).
  std::string ReadText(int32_t x, int32_t y, size_t n) const {
    std::string s;
    int32_t pen = x;
    while (s.size() < n) {
      const uint8_t c = Px(pen + 1, y + 8);
      if (c >= LETTER_COLOUR && c < LETTER_COLOUR + 26) {
        const char ch = static_cast<char>('A' + (c - LETTER_COLOUR));
        s += ch;
        pen += LetterWidth(ch);
      } else if (c >= DIGIT_COLOUR && c < DIGIT_COLOUR + 10) {
        s += static_cast<char>('0' + (c - DIGIT_COLOUR));
        pen += 10;
      } else {
        s += ' ';
        pen += 8;
      }
    }
    return s;
  }

  std::string ReadText(int32_t x, int32_t y, const std::string& expected) const {
    return ReadText(x, y, expected.size());
  }

  bool AnyText(Box area) const {
    for (int32_t y = area.y; y < area.y + area.h; ++y)
      for (int32_t x = area.x; x < area.x + area.w; ++x)
        if (Px(x, y) >= LETTER_COLOUR && Px(x, y) < DIGIT_COLOUR + 10) return true;
    return false;
  }

  void RunAt(int32_t (*frame)(), uint32_t t, int32_t phase) {
    FillScreen(0);
    SceneTimer = t;
    ScenePhase = phase;
    frame();
  }

  // A battle behind the result and game-over screens, its globe parked top-left and still,
  // so that its crosshair stays clear of the texts.
  void StartBackdrop(int32_t mission) {
    MissionIndex = mission;
    Level = 0;
    EnterBattle();
    PlayerGlobe.x = 10;
    PlayerGlobe.y = 20;
    PlayerGlobe.speed = 0.0f;
    PlayerGlobe.heading = 192;
  }

  Surface* sheet_ = nullptr;
  Surface* screen_ = nullptr;
  Clipper clip_{};
  Surface* savedSheet_ = nullptr;
  Surface* savedScreen_ = nullptr;
};

// ---- Logo ------------------------------------------------------------------------------------

struct LogoCase {
  uint32_t t;
  int32_t phase;
  Box expected;  // w = 0: nothing drawn
};

class LogoDrawing : public SceneScreen, public ::testing::WithParamInterface<LogoCase> {};

TEST_P(LogoDrawing, GrowsUpFromRow131ThenStands) {
  PaintSheet(MAKER_LOGO, ART_COLOUR);
  const LogoCase c = GetParam();
  RunAt(LogoFrame, c.t, c.phase);
  EXPECT_EQ(T(Bounds(ART_COLOUR)), T(c.expected)) << "t = " << c.t;
}

INSTANTIATE_TEST_SUITE_P(
    Frames, LogoDrawing,
    ::testing::Values(LogoCase{0, 0, {0, 0, 0, 0}}, LogoCase{3, 0, {0, 0, 0, 0}},
                      LogoCase{4, 0, {72, 131, 176, 1}}, LogoCase{64, 0, {72, 116, 176, 16}},
                      LogoCase{127, 0, {72, 101, 176, 31}}, LogoCase{128, 0, {72, 100, 176, 32}},
                      LogoCase{300, 1, {72, 100, 176, 32}}));

TEST_F(SceneScreen, LogoStandsFromTheFrameItReachesFullHeight) {
  RunAt(LogoFrame, 127, 0);
  EXPECT_EQ(ScenePhase, 0);
  RunAt(LogoFrame, 128, 0);
  EXPECT_EQ(ScenePhase, 1);
}

// ---- Title -----------------------------------------------------------------------------------

struct ArtCase {
  const char* what;
  Box sheetBox;
  uint32_t t;
  Box expected;  // before clipping to the screen
};

class TitleArt : public SceneScreen, public ::testing::WithParamInterface<ArtCase> {};

TEST_P(TitleArt, SpritesFollowTheirOrbits) {
  const ArtCase c = GetParam();
  PaintSheet(c.sheetBox, ART_COLOUR);
  RunAt(TitleFrame, c.t, 0);
  EXPECT_EQ(T(Bounds(ART_COLOUR)), T(Clip(c.expected))) << c.what << " at t = " << c.t;
}

// At t = 0 the cosines are whole (bob +16); at t = 64 the sines are whole and the bob is 0.
// sin 16 = 0.38, cos 16 = 0.92 and cos 8 = 0.98 in the table: 30 and 73 at radius 80, 15 and
// 14 at radius 16.
INSTANTIATE_TEST_SUITE_P(
    Frames, TitleArt,
    ::testing::Values(ArtCase{"grey lettering", GREY_TITLE, 0, {72, 80, 176, 48}},
                      ArtCase{"grey lettering", GREY_TITLE, 64, {72, 64, 176, 48}},
                      ArtCase{"grey lettering", GREY_TITLE, 128, {72, 48, 176, 48}},
                      ArtCase{"sun", SUN, 0, {160, 124, 47, 47}},
                      ArtCase{"sun", SUN, 77, {160, 124, 47, 47}},
                      ArtCase{"earth", EARTH, 0, {160, 204, 47, 47}},
                      ArtCase{"earth", EARTH, 64, {240, 124, 47, 47}},
                      ArtCase{"earth", EARTH, 128, {160, 44, 47, 47}},
                      ArtCase{"moon", MOON, 0, {160, 236, 47, 47}},
                      ArtCase{"moon", MOON, 16, {160 + 30 + 32, 124 + 73, 47, 47}},
                      ArtCase{"moon", MOON, 64, {240, 156, 47, 47}},
                      ArtCase{"coloured lettering", COLOUR_TITLE, 0, {104, 88, 176, 64}},
                      ArtCase{"coloured lettering", COLOUR_TITLE, 64, {104, 40, 176, 64}},
                      ArtCase{"coloured lettering", COLOUR_TITLE, 8, {72, 56 + 15 + 14, 176, 64}}));

TEST_F(SceneScreen, TitleScoreLineShowsFiveDigitsAndTheTrailingZero) {
  PaintFont();
  struct {
    int32_t hi, score;
    const char* text;
  } cases[] = {
      {2000, 0, "HI SCORE 020000    SCORE 000000"},
      {2000, 123, "HI SCORE 020000    SCORE 001230"},
      {2000, 1234567, "HI SCORE 020000    SCORE 12345670"},
  };
  for (const auto& c : cases) {
    HiScore = c.hi;
    Score = c.score;
    RunAt(TitleFrame, 5, 0);
    EXPECT_EQ(ReadText(16, 2, c.text), c.text);
  }
  HiScore = 2000;
  Score = 0;
}

TEST_F(SceneScreen, TitleNameAndPromptBlinkOnElevenOfSixteenFrames) {
  PaintFont();
  const std::string prompt = "PLEASE PRESS START";
  for (uint32_t t = 0; t < 48; ++t) {
    RunAt(TitleFrame, t, 0);
    const bool shown = (t % 16) > 4;
    EXPECT_EQ(AnyText({80, 160, 200, 16}), shown) << "t = " << t;
    if (shown) {
      EXPECT_EQ(ReadText(80, 160, prompt), prompt);
    }
  }
  // The name bobs with the grey lettering: y = 112 + 16 at t = 0; the coloured lettering
  // drawn afterwards covers it, so only the bare text is read here.
  RunAt(TitleFrame, 64, 0);
  EXPECT_EQ(ReadText(102, 112, "DURUZ DAZORA"), "DURUZ DAZORA");
}

// ---- Prologue --------------------------------------------------------------------------------

TEST_F(SceneScreen, PrologueLinesRiseOnePixelAFrame) {
  PaintFont();
  // At t = 100 line i stands at 240 + 20 i - 100: line 0 at 140, line 2 at 180.
  RunAt(PrologueFrame, 100, 0);
  EXPECT_EQ(ReadText(64, 140, PrologueLines[0]), PrologueLines[0]);
  EXPECT_EQ(ReadText(64, 160, PrologueLines[1]), PrologueLines[1]);
  EXPECT_EQ(ReadText(64, 180, PrologueLines[2]), PrologueLines[2]);
  EXPECT_FALSE(AnyText({0, 0, 320, 140}));
  // "GOODLUCK" enters at 540 and is gone from 796 on.
  RunAt(PrologueFrame, 700, 0);
  EXPECT_EQ(ReadText(64, 240 + 20 * 27 - 700, "GOODLUCK"), "GOODLUCK");
  RunAt(PrologueFrame, 796, 0);
  EXPECT_FALSE(AnyText({0, 0, 320, 240}));
}

// ---- Briefing --------------------------------------------------------------------------------

TEST_F(SceneScreen, BriefingWritesOneWordASecond) {
  PaintFont();
  const struct {
    const char* word;
    uint32_t first;
    int32_t y;
  } words[] = {{"KEEP", 60, 100}, {"THE", 120, 116}, {"GLOBE", 180, 132}, {"GOOD LUCK", 300, 164}};
  for (const auto& w : words) {
    RunAt(BriefingFrame, w.first - 1, 0);
    EXPECT_FALSE(AnyText({48, w.y, 100, 16})) << w.word;
    RunAt(BriefingFrame, w.first, 0);
    EXPECT_EQ(ReadText(48, w.y, w.word), w.word);
  }
  RunAt(BriefingFrame, 480, 0);
  for (const auto& w : words) EXPECT_EQ(ReadText(48, w.y, w.word), w.word);
  EXPECT_FALSE(AnyText({48, 180, 272, 60}));
}

TEST_F(SceneScreen, BriefingFramesTheScreenWithTwoLines) {
  RunAt(BriefingFrame, 10, 0);
  for (int32_t x = 1; x < 320; ++x) ASSERT_EQ(Px(x, 180), 24) << "x = " << x;
  for (int32_t y = 1; y < 240; ++y) ASSERT_EQ(Px(44, y), 24) << "y = " << y;
}

class BriefingArt : public SceneScreen, public ::testing::WithParamInterface<ArtCase> {};

TEST_P(BriefingArt, SunEarthAndMoonDrift) {
  const ArtCase c = GetParam();
  PaintSheet(c.sheetBox, ART_COLOUR);
  RunAt(BriefingFrame, c.t, 0);
  EXPECT_EQ(T(Bounds(ART_COLOUR)), T(Clip(c.expected))) << c.what << " at t = " << c.t;
}

// Earth: (128 sin + t/4 + 160, 80 cos + t/4 + 124) at 94x94; the moon 64/48 from it at 4t.
// sin 16 = 0.38 and cos 16 = 0.92 in the table: 48 and 73; at t = 16 the moon's angle is 64.
INSTANTIATE_TEST_SUITE_P(
    Frames, BriefingArt,
    ::testing::Values(ArtCase{"earth", EARTH, 0, {160, 204, 94, 94}},
                      ArtCase{"earth", EARTH, 16, {48 + 4 + 160, 73 + 4 + 124, 94, 94}},
                      ArtCase{"earth", EARTH, 128, {0 + 32 + 160, -80 + 32 + 124, 94, 94}},
                      ArtCase{"moon", MOON, 16, {212 + 64, 201, 47, 47}},
                      ArtCase{"moon", MOON, 128, {192, 76 + 48, 47, 47}},
                      ArtCase{"sun", SUN, 0, {-80, -64, 188, 188}},
                      ArtCase{"sun", SUN, 240, {-120, -94, 188, 188}}));

// ---- Result ----------------------------------------------------------------------------------

TEST_F(SceneScreen, ResultShowsGoodFightThenTheBonusTable) {
  PaintFont();
  StartBackdrop(0);
  PlayerGlobe.energy = 950;
  TimeLeft = 4000;
  Score = 500;
  EnterResult();
  FillScreen(0);
  ResultFrame();
  EXPECT_EQ(ReadText(112, 112, "GOOD FIGHT"), "GOOD FIGHT");
  while (ScenePhase == 0) ResultFrame();
  FillScreen(0);
  ResultFrame();
  EXPECT_EQ(ReadText(64, 64, "TECHNICAL BONUS POINT"), "TECHNICAL BONUS POINT");
  EXPECT_EQ(ReadText(80, 112, "LEVEL POINT"), "LEVEL POINT");
  EXPECT_EQ(ReadText(216, 112, "1000"), "1000");
  EXPECT_EQ(ReadText(80, 128, "TIME POINT"), "TIME POINT");
  EXPECT_EQ(ReadText(216, 128, "400"), "400");
  EXPECT_EQ(ReadText(80, 144, "ENELGY POINT"), "ENELGY POINT");
  EXPECT_EQ(ReadText(216, 144, "950"), "950");
  EXPECT_FALSE(AnyText({80, 160, 240, 16}));
  EXPECT_EQ(ReadText(88, 192, "TOTAL POINT  2350"), "TOTAL POINT  2350");
  while (ScenePhase == 1) {
    InputState.pressed = INPUT_BUTTON1;
    ResultFrame();
  }
  InputState.pressed = 0;
  FillScreen(0);
  ResultFrame();
  EXPECT_EQ(ReadText(80, 112, "TRY TO NEXT MISSION"), "TRY TO NEXT MISSION");
  EXPECT_FALSE(AnyText({0, 184, 288, 30}));
}

TEST_F(SceneScreen, ResultOfMissionTenAddsTheClearLine) {
  PaintFont();
  StartBackdrop(9);
  PlayerGlobe.energy = 500;
  TimeLeft = 1234;
  EnterResult();
  while (ScenePhase == 0) ResultFrame();
  FillScreen(0);
  ResultFrame();
  EXPECT_EQ(ReadText(80, 160, "CLEAR POINT"), "CLEAR POINT");
  EXPECT_EQ(ReadText(216, 160, "10000"), "10000");
  EXPECT_EQ(ReadText(88, 192, "TOTAL POINT  11620"), "TOTAL POINT  11620");
}

// ---- Game over -------------------------------------------------------------------------------

// Runs one game-over frame at t on a screen of BACKDROP, the battle's own picture aside.
class GameOverDrawing : public SceneScreen {
 protected:
  void SetUp() override {
    SceneScreen::SetUp();
    StartBackdrop(0);
    EnterGameOver();
  }
  void Frame(uint32_t t, int32_t phase) {
    FillScreen(BACKDROP);
    SceneTimer = t;
    ScenePhase = phase;
    GameOverFrame();
  }
  // Columns of the curtain: the even pixels of even rows from x = 0 up to width - 1.
  void ExpectCurtain(int32_t width) {
    for (int32_t y = 40; y < 240; y += 2)
      for (int32_t x = 0; x < 320; ++x) {
        const bool dark = x % 2 == 0 && x < width;
        if (dark)
          ASSERT_EQ(Px(x, y), 0) << x << "," << y;
        else
          ASSERT_NE(Px(x, y), 0) << x << "," << y;
      }
    for (int32_t x = 0; x < 320; ++x) ASSERT_NE(Px(x, 41), 0) << "odd rows stay: " << x;
  }
};

TEST_F(GameOverDrawing, CurtainSweepsInFivePixelsAFrame) {
  Frame(10, 0);
  ExpectCurtain(50);
  Frame(64, 0);
  ExpectCurtain(320);
  Frame(65, 1);
  ExpectCurtain(319);
  for (int32_t y = 0; y < 240; ++y) EXPECT_NE(Px(319, y), 0) << "y = " << y;
}

TEST_F(GameOverDrawing, LetteringShrinksIntoPlace) {
  PaintSheet(GAME_OVER, ART_COLOUR);
  const struct {
    uint32_t t;
    int32_t phase;
    Box expected;
  } cases[] = {{10, 0, {80, -144, 160, 464}},
               {46, 0, {80, 0, 160, 176}},
               {50, 0, {80, 16, 160, 144}},
               {64, 0, {80, 72, 160, 32}},
               {200, 1, {80, 72, 160, 32}}};
  for (const auto& c : cases) {
    Frame(c.t, c.phase);
    EXPECT_EQ(T(Bounds(ART_COLOUR)), T(Clip(c.expected))) << "t = " << c.t;
  }
}

TEST_F(GameOverDrawing, PressAnyKeyBlinksEverySixteenFrames) {
  PaintFont();
  for (uint32_t t = 65; t < 140; ++t) {
    Frame(t, 1);
    const bool shown = (t & 16) != 0;
    EXPECT_EQ(AnyText({96, 112, 140, 16}), shown) << "t = " << t;
    if (shown) {
      EXPECT_EQ(ReadText(96, 112, "PRESS ANY KEY"), "PRESS ANY KEY");
    }
  }
  Frame(48, 0);  // bit 4 set, but the curtain is still moving in
  EXPECT_FALSE(AnyText({96, 112, 140, 16}));
}

// ---- Ending ----------------------------------------------------------------------------------

class EndingArt : public SceneScreen, public ::testing::WithParamInterface<ArtCase> {};

TEST_P(EndingArt, EarthDriftsAndTheTitleSways) {
  const ArtCase c = GetParam();
  PaintSheet(c.sheetBox, ART_COLOUR);
  RunAt(EndingFrame, c.t, c.t > 801 ? 1 : 0);
  EXPECT_EQ(T(Bounds(ART_COLOUR)), T(Clip(c.expected))) << c.what << " at t = " << c.t;
}

// Sway cx = 32 cos t, bob cy = 16 cos 8t: at t = 832 (angle 64) cx = 0 and cy = 16.
INSTANTIATE_TEST_SUITE_P(
    Frames, EndingArt,
    ::testing::Values(ArtCase{"earth", EARTH, 0, {-64, -32, 188, 188}},
                      ArtCase{"earth", EARTH, 400, {36, 34, 188, 188}},
                      ArtCase{"earth", EARTH, 920, {166, 121, 188, 188}},
                      ArtCase{"earth", EARTH, 1000, {166, 121, 188, 188}},
                      ArtCase{"earth", EARTH, 5000, {166, 121, 188, 188}},
                      ArtCase{"grey lettering", GREY_TITLE, 800, {0, 0, 0, 0}},
                      ArtCase{"grey lettering", GREY_TITLE, 832, {76, 80, 176, 48}},
                      ArtCase{"grey lettering", GREY_TITLE, 1024, {76 + 32, 80, 176, 48}},
                      ArtCase{"coloured lettering", COLOUR_TITLE, 832, {72, 72, 176, 64}},
                      ArtCase{"coloured lettering", COLOUR_TITLE, 896, {72 - 32, 72, 176, 64}}));

TEST_F(SceneScreen, EndingRollsTheStaffLines) {
  PaintFont();
  RunAt(EndingFrame, 100, 0);
  EXPECT_EQ(ReadText(64, 140, "CONGRATURATION"), "CONGRATURATION");
  EXPECT_EQ(ReadText(64, 180, "DESTROY THE"), "DESTROY THE");
  EXPECT_EQ(ReadText(64, 200, "MOTHER OBJECT"), "MOTHER OBJECT");
  // Leading blanks push the names 32 pixels right.
  RunAt(EndingFrame, 300, 0);
  EXPECT_EQ(ReadText(64, 240 + 20 * 8 - 300, "    Q DEDODIRO"), "    Q DEDODIRO");
  EXPECT_FALSE(AnyText({64, 240 + 20 * 8 - 300, 32, 16}));
  // "GOODLUCK" has left the top at 776: only the earth and the stars stand until the thanks.
  RunAt(EndingFrame, 775, 0);
  EXPECT_TRUE(AnyText({0, 0, 320, 240}));
  RunAt(EndingFrame, 776, 0);
  EXPECT_FALSE(AnyText({0, 0, 320, 240}));
  RunAt(EndingFrame, 801, 0);
  EXPECT_FALSE(AnyText({0, 0, 320, 240}));
  EXPECT_EQ(ScenePhase, 1);
}

TEST_F(SceneScreen, EndingThanksAndBlinkingPrompt) {
  PaintFont();
  const std::string prompt = "PRESS ANY TO NEXT LEVEL";
  for (uint32_t t = 802; t < 842; ++t) {
    RunAt(EndingFrame, t, 1);
    const bool shown = (t & 31) > 8;
    EXPECT_EQ(AnyText({52, 160, 260, 16}), shown) << "t = " << t;
    if (shown) {
      EXPECT_EQ(ReadText(52, 160, prompt), prompt);
    }
    EXPECT_EQ(ReadText(56, 184, "THANK YOU FOR PLAYING"), "THANK YOU FOR PLAYING");
  }
  // At t = 832 the name stands at (106 + 0, 118 + 16).
  RunAt(EndingFrame, 832, 1);
  EXPECT_EQ(ReadText(106, 134, "DURUZ DAZORA"), "DURUZ DAZORA");
}

}  // namespace
