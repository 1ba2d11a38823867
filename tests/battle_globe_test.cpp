// The battle frame and the globe: steering, speed limits, movement, energy, time, danger, banner.
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
};

TEST_F(GlobeTest, SpeedStepsInSinglePrecisionBetweenItsLimits) {
  Hold(INPUT_UP);
  int32_t steps = 0;
  for (float before = -1; before != PlayerGlobe.speed; ++steps) {
    before = PlayerGlobe.speed;
    SteerGlobe();
  }
  EXPECT_EQ(steps - 1, 76);  // 75 steps of 0.2f leave the speed just below 16
  EXPECT_GT(PlayerGlobe.speed, 16.0f);
  EXPECT_EQ(static_cast<int32_t>(PlayerGlobe.speed), 16);
  Hold(INPUT_DOWN);
  steps = 0;
  for (float before = -1; before != PlayerGlobe.speed; ++steps) {
    before = PlayerGlobe.speed;
    SteerGlobe();
  }
  EXPECT_EQ(steps - 1, 72);
  EXPECT_LT(PlayerGlobe.speed, 2.0f);
  EXPECT_EQ(static_cast<int32_t>(PlayerGlobe.speed), 1);
  Hold(INPUT_UP | INPUT_DOWN);  // up wins
  SteerGlobe();
  EXPECT_GT(PlayerGlobe.speed, 1.9f);
}

TEST_F(GlobeTest, TurnsEightStepsAndWraps) {
  struct Case {
    uint32_t bits;
    int32_t from, to, turned;
  } cases[] = {{INPUT_RIGHT, 252, 4, 1},
               {INPUT_LEFT, 0, 248, 1},
               {INPUT_LEFT | INPUT_RIGHT, 10, 18, 1},
               {INPUT_UP, 10, 10, 0}};
  for (const Case& c : cases) {
    PlayerGlobe.heading = c.from;
    Hold(c.bits);
    EXPECT_EQ(SteerGlobe(), c.turned);
    EXPECT_EQ(PlayerGlobe.heading, c.to);
  }
}

TEST_F(GlobeTest, ButtonOneHoldsTheMoonAndButtonTwoSwapsSunAndEarth) {
  struct Step {
    uint32_t bits;
    int32_t mode;
    std::vector<int32_t> sounds;
  } steps[] = {{INPUT_BUTTON2, MODE_TERA, {7}},
               {0, MODE_TERA, {}},
               {INPUT_BUTTON1, MODE_MOON, {7}},
               {INPUT_BUTTON1 | INPUT_BUTTON2, MODE_MOON, {}},
               {0, MODE_TERA, {}},
               {INPUT_BUTTON2, MODE_SUN, {7}},
               {INPUT_BUTTON2, MODE_SUN, {}}};
  for (const Step& s : steps) {
    Hold(s.bits);
    SteerGlobe();
    EXPECT_EQ(PlayerGlobe.mode, s.mode);
    EXPECT_EQ(PlayedEffects(), s.sounds);
  }
}

// One frame's step is (trunc(r cos), trunc(r sin)) with r the truncated speed.
TEST_F(GlobeTest, MovesAlongItsHeading) {
  struct Case {
    int32_t heading;
    float speed;
    int32_t dx, dy;
  } cases[] = {{192, 1.0f, 0, -1},  {200, 1.8f, 0, 0},   {64, 1.0f, 0, 1},  {0, 16.2f, 16, 0},
               {32, 16.2f, 11, 11}, {160, 5.4f, -3, -3}, {128, 2.0f, -2, 0}};
  for (const Case& c : cases) {
    PlayerGlobe = {160, 240, 0, 0, c.heading, c.speed, 999, MODE_SUN, MODE_SUN};
    BattleFrame();
    EXPECT_EQ(PlayerGlobe.x, 160 + c.dx) << c.heading;
    EXPECT_EQ(PlayerGlobe.y, 240 + c.dy) << c.heading;
    EXPECT_EQ(PlayerGlobe.prevY, 240);
  }
}

TEST_F(GlobeTest, EnergyFallsBelowZeroOnlyOnceAndNotInTheBackdrop) {
  PlayerGlobe.energy = 3;
  EXPECT_EQ(AddEnergy(-3), 0);
  EXPECT_EQ(MissionFailed, 0);
  EXPECT_EQ(AddEnergy(-1), 1);
  EXPECT_EQ(PlayerGlobe.energy, 0);
  EXPECT_EQ(MissionFailed, 1);
  BattleOver = 1;
  EXPECT_EQ(AddEnergy(-50), 0);
  EXPECT_EQ(PlayerGlobe.energy, 0);
}

// 200 frames of the moon cost 1000: the 200th frame loses the mission.
TEST_F(GlobeTest, HoldingTheMoonDrainsEnergyUntilTheMissionIsLost) {
  PlayerGlobe.heading = 200;  // stands still at speed 1
  Hold(INPUT_BUTTON1);
  for (int32_t frame = 1; frame < 200; ++frame) BattleFrame();
  EXPECT_EQ(PlayerGlobe.energy, 999 - 199 * 5);
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  BattleFrame();
  EXPECT_EQ(MissionFailed, 1);
  EXPECT_EQ(SceneId, SCENE_GAMEOVER);
}

TEST_F(GlobeTest, TimeRunsOutOnTheFrameThatReachesZeroAndWinningComesFirst) {
  TimeLeft = 2;
  BattleFrame();
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(SceneTimer, 2u);
  BattleFrame();
  EXPECT_EQ(MissionFailed, 1);
  EXPECT_EQ(SceneId, SCENE_GAMEOVER);

  Restart();
  TimeLeft = 1;
  MissionCleared = 1;
  BattleFrame();
  EXPECT_EQ(SceneId, SCENE_RESULT);
}

TEST_F(GlobeTest, BackdropNeitherSteersNorCountsNorEnds) {
  BattleOver = 1;
  MissionFailed = 1;
  PlayerGlobe.mode = MODE_MOON;
  Hold(INPUT_RIGHT);
  BattleFrame();
  EXPECT_EQ(PlayerGlobe.heading, 192);
  EXPECT_EQ(PlayerGlobe.energy, 999);
  EXPECT_EQ(TimeLeft, 5000);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(SceneId, SCENE_BATTLE);
}

// Every fourth frame of low energy or time: tempo 130 and a blast 8..23 up and left.
TEST_F(GlobeTest, DangerSpeedsTheMusicAndSpawnsBlastsEveryFourthFrame) {
  struct Case {
    int32_t energy, time;
    uint32_t timer;
    bool danger;
  } cases[] = {
      {319, 5000, 4, true}, {999, 1999, 8, true}, {320, 2000, 4, false}, {100, 5000, 5, false}};
  for (const Case& c : cases) {
    Restart();
    PlayerGlobe.heading = 200;  // stands still at speed 1
    PlayerGlobe.energy = c.energy;
    TimeLeft = c.time + 1;
    SceneTimer = c.timer;
    SetMusicTempo(100);
    uint32_t seed = RandomSeed;
    BattleFrame();
    EXPECT_EQ(TempoPercent.load(), c.danger ? 130 : 100);
    EXPECT_EQ(Explosions[0].active, c.danger ? 1 : 0);
    if (!c.danger) continue;
    const int32_t r1 = static_cast<int32_t>(seed = seed * 5 + 1) & 15;
    const int32_t r2 = static_cast<int32_t>(seed = seed * 5 + 1) & 15;
    EXPECT_EQ(Explosions[0].x, 160 - 8 - r1);
    EXPECT_EQ(Explosions[0].y, 240 - 8 - r2);
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
      const bool shown = ShowsText(MissionNames[mission - 1], 80, 120);
      EXPECT_EQ(shown, t <= 129) << t;
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
