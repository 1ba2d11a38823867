// The battle frame and the globe: steering, speed limits, movement, energy, time, danger, banner.
#include <tuple>

#include "battle_fixture.h"

namespace {

class GlobeTest : public BattleTest {
 protected:
  // An open field with the globe in its middle.
  void SetUp() override {
    BattleTest::SetUp();
    Restart();
  }
  void Restart() {
    ResetGame();
    Enter(1);
    ClearField();
    ScenePhase = 0;
    SceneTimer = 1;
    PlayerGlobe.x = 160;
    PlayerGlobe.y = 240;
    PlayedEffects();
  }
  // Steps with these bits held until the speed stops changing; how many steps changed it.
  static int32_t StepsUntilSteady(uint32_t bits) {
    Hold(bits);
    int32_t steps = -1;
    for (float before = -1; before != PlayerGlobe.speed; ++steps) {
      before = PlayerGlobe.speed;
      SteerGlobe();
    }
    return steps;
  }
};

TEST_F(GlobeTest, SpeedStepsInSinglePrecisionBetweenItsLimits) {
  EXPECT_EQ(StepsUntilSteady(INPUT_UP), 76);  // 75 steps of 0.2f leave the speed just below 16
  EXPECT_GT(PlayerGlobe.speed, 16.0f);
  EXPECT_EQ(static_cast<int32_t>(PlayerGlobe.speed), 16);
  EXPECT_EQ(StepsUntilSteady(INPUT_DOWN), 72);
  EXPECT_LT(PlayerGlobe.speed, 2.0f);
  EXPECT_EQ(static_cast<int32_t>(PlayerGlobe.speed), 1);
  Hold(INPUT_UP | INPUT_DOWN);  // up wins
  SteerGlobe();
  EXPECT_GT(PlayerGlobe.speed, 1.9f);
}

TEST_F(GlobeTest, TurnsEightStepsAndWraps) {
  for (auto [bits, from, to, turned] : {std::tuple{INPUT_RIGHT, 252, 4, 1},
                                        {INPUT_LEFT, 0, 248, 1},
                                        {INPUT_LEFT | INPUT_RIGHT, 10, 18, 1},
                                        {INPUT_UP, 10, 10, 0}}) {
    PlayerGlobe.heading = from;
    Hold(bits);
    EXPECT_EQ(SteerGlobe(), turned);
    EXPECT_EQ(PlayerGlobe.heading, to);
  }
}

TEST_F(GlobeTest, ButtonOneHoldsTheMoonAndButtonTwoSwapsSunAndEarth) {
  using Effects = std::vector<int32_t>;
  for (auto [bits, mode, sounds] : {std::tuple{INPUT_BUTTON2, MODE_TERA, Effects{7}},
                                    {0u, MODE_TERA, {}},
                                    {INPUT_BUTTON1, MODE_MOON, {7}},
                                    {INPUT_BUTTON1 | INPUT_BUTTON2, MODE_MOON, {}},
                                    {0u, MODE_TERA, {}},
                                    {INPUT_BUTTON2, MODE_SUN, {7}},
                                    {INPUT_BUTTON2, MODE_SUN, {}}}) {
    Hold(bits);
    SteerGlobe();
    EXPECT_EQ(PlayerGlobe.mode, mode);
    EXPECT_EQ(PlayedEffects(), sounds);
  }
}

// One frame's step is (trunc(r cos), trunc(r sin)) with r the truncated speed.
TEST_F(GlobeTest, MovesAlongItsHeading) {
  for (auto [heading, speed, dx, dy] : {std::tuple{192, 1.0f, 0, -1},
                                        {200, 1.8f, 0, 0},
                                        {64, 1.0f, 0, 1},
                                        {0, 16.2f, 16, 0},
                                        {32, 16.2f, 11, 11},
                                        {160, 5.4f, -3, -3},
                                        {128, 2.0f, -2, 0}}) {
    PlayerGlobe = {160, 240, 0, 0, heading, speed, 999, MODE_SUN, MODE_SUN};
    BattleFrame();
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.y, PlayerGlobe.prevY),
              std::tuple(160 + dx, 240 + dy, 240))
        << heading;
  }
}

TEST_F(GlobeTest, EnergyFallsBelowZeroOnlyOnceAndNotInTheBackdrop) {
  PlayerGlobe.energy = 3;
  EXPECT_EQ(AddEnergy(-3), 0);
  EXPECT_EQ(MissionFailed, 0);
  EXPECT_EQ(AddEnergy(-1), 1);
  EXPECT_EQ(std::tuple(PlayerGlobe.energy, MissionFailed), std::tuple(0, 1));
  BattleOver = 1;
  EXPECT_EQ(AddEnergy(-50), 0);
  EXPECT_EQ(PlayerGlobe.energy, 0);
}

// 200 frames of the moon cost 1000: the 200th frame loses the mission.
TEST_F(GlobeTest, HoldingTheMoonDrainsEnergyUntilTheMissionIsLost) {
  PlayerGlobe.heading = 200;  // stands still at speed 1
  Hold(INPUT_BUTTON1);
  for (int32_t frame = 1; frame < 200; ++frame) BattleFrame();
  EXPECT_EQ(std::tuple(PlayerGlobe.energy, SceneId), std::tuple(999 - 199 * 5, SCENE_BATTLE));
  BattleFrame();
  EXPECT_EQ(std::tuple(MissionFailed, SceneId), std::tuple(1, SCENE_GAMEOVER));
}

TEST_F(GlobeTest, TimeRunsOutOnTheFrameThatReachesZeroAndWinningComesFirst) {
  TimeLeft = 2;
  BattleFrame();
  EXPECT_EQ(std::tuple(SceneId, SceneTimer), std::tuple(SCENE_BATTLE, 2u));
  BattleFrame();
  EXPECT_EQ(std::tuple(MissionFailed, SceneId), std::tuple(1, SCENE_GAMEOVER));
  Restart();
  TimeLeft = 1;
  MissionCleared = 1;
  BattleFrame();
  EXPECT_EQ(SceneId, SCENE_RESULT);
}

TEST_F(GlobeTest, BackdropNeitherSteersNorCountsNorEnds) {
  BattleOver = MissionFailed = 1;
  PlayerGlobe.mode = MODE_MOON;
  Hold(INPUT_RIGHT);
  BattleFrame();
  EXPECT_EQ(std::tuple(PlayerGlobe.heading, PlayerGlobe.energy, TimeLeft, SceneTimer, SceneId),
            std::tuple(192, 999, 5000, 1u, SCENE_BATTLE));
}

// Every fourth frame of low energy or time: tempo 130 and a blast 8..23 up and left.
TEST_F(GlobeTest, DangerSpeedsTheMusicAndSpawnsBlastsEveryFourthFrame) {
  for (auto [energy, time, timer, danger] : {std::tuple{319, 5000, 4u, true},
                                             {999, 1999, 8u, true},
                                             {320, 2000, 4u, false},
                                             {100, 5000, 5u, false}}) {
    Restart();
    PlayerGlobe.heading = 200;  // stands still at speed 1
    PlayerGlobe.energy = energy;
    TimeLeft = time + 1;
    SceneTimer = timer;
    SetMusicTempo(100);
    uint32_t seed = RandomSeed;
    BattleFrame();
    EXPECT_EQ(std::tuple(TempoPercent.load(), Explosions[0].active),
              std::tuple(danger ? 130 : 100, danger ? 1 : 0));
    if (!danger) continue;
    const int32_t r1 = NextOf(&seed) & 15, r2 = NextOf(&seed) & 15;
    EXPECT_EQ(std::tuple(Explosions[0].x, Explosions[0].y), std::tuple(160 - 8 - r1, 240 - 8 - r2));
  }
}

// The banner shows up to and including the frame with SceneTimer 129.
TEST_F(GlobeTest, OpeningBannerNamesTheMission) {
  for (int32_t mission : {1, 10}) {
    Enter(mission);
    SceneTimer = 1;
    for (uint32_t t = 1; t <= 130; ++t) {
      gf_DD_ScrFill(screen_, 0);
      BattleFrame();
      EXPECT_EQ(ShowsText(MissionNames[mission - 1], 80, 120), t <= 129) << t;
      if (t == 1) {
        EXPECT_TRUE(ShowsText(mission == 1 ? "MISSION 1" : "MISSION 10", 80, 96));
      }
    }
    EXPECT_EQ(ScenePhase, 0);
  }
}

TEST_F(GlobeTest, AimMarkerPointsAlongTheHeading) {
  PlayerGlobe = {100, 200, 0, 0, 200, 1.0f, 999, MODE_SUN, MODE_SUN};
  BattleFrame();
  // Screen centre (100, 120); heading 200 = cos 0.2, sin -0.98.
  const int32_t ex = 100 + 25, ey = 120 - 125;
  EXPECT_EQ(ScreenAt(ex - 8, ey - 8 + 15), 24);  // the 16x16 box's lower-left corner
  EXPECT_EQ(ScreenAt(100 + 12 - 4, 120 - 62 - 4), 24);
}

}  // namespace
