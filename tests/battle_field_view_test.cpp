// The field view: crosshair and radar dot, objects pulsing from the random sequence, the HUD.
#include <array>
#include <tuple>

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

// Each object draws four numbers: x and y jitter, then height and width percentages; rocks none.
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

// Score with its trailing zero, time, whole speed, energy and the face, in the two bars.
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
}

}  // namespace
