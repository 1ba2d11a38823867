// The field view (camera, pulsing objects, HUD, radar) and the star field.
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
    ClearField();
    gf_DD_ScrFill(screen_, 0);
  }
};

TEST_F(ViewTest, CameraFollowsTheGlobeWithinTheField) {
  for (auto [y, top] : {std::pair{0, 0}, {120, 0}, {121, 1}, {360, 240}, {479, 240}}) {
    PlayerGlobe.y = y;
    EXPECT_EQ(CameraTop(), top) << y;
  }
}

// Each object draws four numbers: x and y jitter, then height and width percentages; a broken
// one stops drawing and leaves the radar at once.
TEST_F(ViewTest, ObjectsPulseFromTheRandomSequenceInCellOrder) {
  CellTypes[0] = CELL_RED, CellTypes[2] = CELL_BLUE, CellTypes[4] = CELL_ROCK;
  CellTypes[6] = CELL_GREEN, CellHp[6] = 0, ObjectsLeft = 3;
  DamageCell(6, CELL_GREEN);
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
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_GREEN]), 0);
  EXPECT_EQ(ScreenAt(292 + 5, 186 + 4), 10);
}

TEST_F(ViewTest, HudShowsScoreTimeSpeedEnergyFaceAndTheBossOnlyInTheLastMission) {
  Score = 123, TimeLeft = 7;
  PlayerGlobe.speed = 16.2f, PlayerGlobe.energy = 0, PlayerGlobe.mode = MODE_TERA;
  DrawField();
  for (auto [text, x, y] : {std::tuple{"SCORE 1230", 4, 0},
                            {"TIME 7", 136, 0},
                            {"SPEED 16", 4, 224},
                            {"ENELGY 0", 112, 224},
                            {"TERA", 240, 224}})
    EXPECT_TRUE(ShowsText(text, x, y)) << text;
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
  EXPECT_TRUE(top > 0 && top < 32);
  EXPECT_EQ(RandomSeed, seed);
}

TEST_F(ViewTest, SparklesRenewOnlyPastTheirBoundsSwayAndWrapTheirPhase) {
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
  EXPECT_EQ(std::tuple(ScreenAt(116, 52), ScreenAt(115, 52)), std::tuple(sheet_colour::STAR[1], 0));
  StarField[0].phase = 0x7FFFFFFC;
  StarFieldStep(0);
  EXPECT_EQ(StarField[0].phase & 255, 4);
}

}  // namespace
