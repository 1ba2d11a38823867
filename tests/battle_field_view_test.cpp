// The field view (camera, crosshair, pulsing objects, HUD, radar) and the star field.
#include <array>
#include <tuple>

#include "battle/field_objects.h"
#include "battle/field_view.h"
#include "battle_fixture.h"

namespace {

class ViewTest : public BattleTest {
 protected:
  void SetUp() override {
    BattleTest::SetUp();
    Enter(1);
    gf_DD_ScrFill(screen_, 0);
  }
};

TEST_F(ViewTest, CameraFollowsTheGlobeWithinTheField) {
  for (auto [y, top] :
       {std::pair{0, 0}, {50, 0}, {120, 0}, {121, 1}, {300, 180}, {360, 240}, {479, 240}}) {
    PlayerGlobe.y = y;
    EXPECT_EQ(CameraTop(), top) << y;
  }
}

TEST_F(ViewTest, StartOfMissionOneShowsGlobeCrosshairAndRadarDot) {
  ClearField();
  DrawField();
  EXPECT_EQ(std::tuple(GlobeScreenX, GlobeScreenY), std::tuple(136, 192));
  EXPECT_EQ(ScreenAt(0, 216), 0);  // the line's start point is never set
  for (auto [x, y] : {std::pair{1, 216}, {319, 216}, {160, 100}}) EXPECT_EQ(ScreenAt(x, y), 24);
  EXPECT_EQ(CountColour(Box{136, 192, 47, 31}, sheet_colour::GLOBE[MODE_SUN]), 47 * 31);
  EXPECT_EQ(ScreenAt(303, 215), 255);
  EXPECT_EQ(ScreenAt(292, 186), 24);  // the radar's border
  EXPECT_EQ(ScreenAt(293, 187), 10);  // the mark of the empty cell 0
}

TEST_F(ViewTest, NearTheTopTheGlobeIsDrawnWhereItIs) {
  PlayerGlobe = {30, 50, 0, 0, 0, 1.0f, 999, MODE_MOON, MODE_SUN};
  DrawField();
  EXPECT_EQ(GlobeScreenY, 26);
  EXPECT_EQ(ScreenAt(30, 50), sheet_colour::GLOBE[MODE_MOON]);
  EXPECT_EQ(ScreenAt(293 + 1, 187 + 3), 255);
}

// Each object draws four numbers: x and y jitter, then height and width percentages.
TEST_F(ViewTest, ObjectsPulseFromTheRandomSequenceInCellOrder) {
  ClearField();
  CellTypes[0] = CELL_RED, CellTypes[2] = CELL_BLUE, CellTypes[4] = CELL_ROCK;
  PlayerGlobe.x = 150, PlayerGlobe.y = 100;  // camera at the top
  uint32_t seed = RandomSeed;
  DrawField();
  for (int32_t i : {0, 2}) {
    const int32_t jx = NextOf(&seed) & 7, jy = NextOf(&seed) & 7;
    const int32_t ph = 80 + NextOf(&seed) % 20, pw = 80 + NextOf(&seed) % 20;
    const int32_t w = static_cast<int32_t>(64 * static_cast<double>(0.01f) * pw);
    const int32_t h = static_cast<int32_t>(48 * static_cast<double>(0.01f) * ph);
    const uint8_t colour = sheet_colour::CELL[CellTypes[i]];
    // Below the HUD bar, the picture is a w by h box at the jittered corner.
    EXPECT_EQ(CountColour(Box{64 * i, 16, 72, 48}, colour), w * (jy + h - 16));
    EXPECT_EQ(ScreenAt(64 * i + jx + w - 1, jy + h - 1), colour);
    EXPECT_NE(ScreenAt(64 * i + jx + w, jy + h - 1), colour);
  }
  EXPECT_EQ(RandomSeed, seed);
  EXPECT_EQ(CountColour(Box{256, 16, 64, 32}, sheet_colour::CELL[CELL_ROCK]), 64 * 32);
}

TEST_F(ViewTest, ABrokenObjectStopsPulsingAndLeavesTheRadarAtOnce) {
  ClearField();
  CellTypes[6] = CELL_RED;
  CellHp[6] = 0;
  ObjectsLeft = 1;
  PlayerGlobe.y = 100;
  DamageCell(6, CELL_RED);
  uint32_t seed = RandomSeed;
  DrawField();
  EXPECT_EQ(RandomSeed, seed);
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_RED]), 0);
  EXPECT_EQ(ScreenAt(292 + 5, 186 + 4), 10);
}

TEST_F(ViewTest, HudShowsScoreTimeSpeedEnergyAndFace) {
  using Texts = std::array<const char*, 5>;
  for (auto [score, time, speed, energy, mode, texts] :
       {std::tuple{0, 5000, 1.0f, 999, MODE_SUN,
                   Texts{"SCORE 00", "TIME 5000", "SPEED 1", "ENELGY 999", "SUN"}},
        {123, 7, 16.2f, 0, MODE_TERA, {"SCORE 1230", "TIME 7", "SPEED 16", "ENELGY 0", "TERA"}},
        {5,
         1999,
         9.99f,
         42,
         MODE_MOON,
         {"SCORE 50", "TIME 1999", "SPEED 9", "ENELGY 42", "MOON"}}}) {
    static const int32_t at[5][2] = {{4, 0}, {136, 0}, {4, 224}, {112, 224}, {240, 224}};
    gf_DD_ScrFill(screen_, 0);
    Score = score, TimeLeft = time;
    PlayerGlobe.speed = speed, PlayerGlobe.energy = energy, PlayerGlobe.mode = mode;
    DrawField();
    for (int32_t k = 0; k < 5; ++k)
      EXPECT_TRUE(ShowsText(texts[k], at[k][0], at[k][1])) << texts[k];
  }
  // The stippled bars: every second pixel of every second row, 319 columns wide.
  for (auto [x, y, colour] : {std::tuple{0, 0, 255},
                              {1, 0, 0},
                              {0, 1, 0},
                              {318, 14, 255},
                              {0, 223, 255},
                              {2, 237, 255},
                              {0, 239, 0}})
    EXPECT_EQ(ScreenAt(x, y), colour) << x << "," << y;
}

TEST_F(ViewTest, TheBossIsDrawnOnlyInTheLastMission) {
  for (int32_t mission : {9, 10}) {
    Enter(mission);
    gf_DD_ScrFill(screen_, 0);
    DrawField();
    EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::BOSS) > 0, mission == 10);
  }
}

// Five draws per renewed sparkle: side, x, fall, kind, size.
TEST_F(ViewTest, StarFieldRenewsInItsRandomOrder) {
  uint32_t seed = RandomSeed = 77;
  StarFieldStep(1);
  int32_t top = 0;
  for (const Star& s : StarField) {
    const bool fromTop = (NextOf(&seed) & 0xFF) > 128;
    const int32_t x = NextOf(&seed) % 300;
    const int32_t fall = NextOf(&seed) & 7;
    const int32_t dy = fromTop ? fall + 1 : -1 - fall;
    const int32_t kind = (NextOf(&seed) >> 2) & 1, size = 32 - (NextOf(&seed) & 15);
    EXPECT_EQ(std::tuple(s.x, s.y, s.dy, s.kind, s.size, s.phase),
              std::tuple(x + (fromTop ? -1 : 1), (fromTop ? -30 : 240) + dy, dy, kind, size, 8));
    top += fromTop;
  }
  EXPECT_GT(top, 0);
  EXPECT_LT(top, 32);
  EXPECT_EQ(RandomSeed, seed);
}

TEST_F(ViewTest, SparklesRenewOnlyPastTheirBoundsAndSway) {
  for (auto [y, renewed] : {std::pair{-33, true}, {-32, false}, {240, false}, {241, true}}) {
    for (Star& s : StarField) s = Star{100, 100, 1, 1, 0, 20, 0};
    StarField[3].y = y;
    const uint32_t seed = RandomSeed;
    StarFieldStep(0);
    EXPECT_EQ(RandomSeed != seed, renewed) << y;
  }
  gf_DD_ScrFill(screen_, 0);
  for (Star& s : StarField) s = Star{100, 50, 1, 1, 2, 20, 0};
  StarFieldStep(0);
  // Phase 8: sway trunc(16 * 0.98) = 15 right of x + dx.
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::STAR[1]), 20 * 20);
  EXPECT_EQ(ScreenAt(116, 52), sheet_colour::STAR[1]);
  EXPECT_EQ(ScreenAt(115, 52), 0);
  // The phase wraps instead of overflowing.
  StarField[0].phase = 0x7FFFFFFC;
  StarFieldStep(0);
  EXPECT_EQ(StarField[0].phase & 255, 4);
}

TEST_F(ViewTest, ASparkleFallingAtEightIsRenewedAfterPassingTheBottom) {
  for (Star& s : StarField) s = Star{100, 100, 1, 1, 0, 20, 0};
  StarField[0] = Star{100, -30, 0, -1, 8, 20, 0};
  int32_t frames = 0;
  for (; StarField[0].y <= 240 && frames < 100; ++frames) StarFieldStep(0);
  EXPECT_EQ(frames, 34);  // -30 + 8 * 34 = 242
  StarFieldStep(0);
  EXPECT_LT(StarField[0].y, 242);  // renewed at -30 + dy or 240 + dy
}

}  // namespace
