// Mission set-up, the battle frame and the globe: steering, limits, energy, time, danger, banner.
#include <tuple>

#include "battle_fixture.h"

namespace {

using Effects = std::vector<int32_t>;

// Every mission: the radar matches the field, the globe starts in an open cell, hit points come
// after the star field's 160 draws (one per object in cell order) and rise with the level.
TEST_F(BattleTest, MissionSetUpBuildsFieldRadarAndHitPoints) {
  for (int32_t level : {0, 1})
    for (int32_t mission = 1; mission <= MISSION_COUNT; ++mission) {
      ResetGame();
      for (int32_t k = 0; k < 40; ++k) SpawnExplosion(k, k);
      RandomSeed = 2;
      uint32_t seed = 2;
      for (int32_t k = 0; k < 160; ++k) NextOf(&seed);
      Enter(mission, level);
      int32_t objects = 0;
      for (int32_t i = 0; i < CELL_COUNT; ++i) {
        const int32_t t = CellTypes[i];
        objects += t <= CELL_BLUE;
        EXPECT_EQ(SheetAt(1 + 4 * (i % 5) + 2, 209 + 3 * (i / 5) + 1), t == CELL_EMPTY ? 10 : 255);
        const bool green = t == CELL_GREEN;
        if (t <= CELL_BLUE) {
          EXPECT_EQ(CellHp[i], (NextOf(&seed) & (green ? 15 : 7)) + (green ? 160 : 80) * level +
                                   (green ? 128 : 48));
        }
      }
      EXPECT_EQ(std::tuple(ObjectsLeft, RandomSeed, Explosions[0].active, BossState.energy),
                std::tuple(objects, seed, 0, 3200 + 1000 * level));
      EXPECT_EQ(CellTypes[5 * (PlayerGlobe.y / 48) + PlayerGlobe.x / 64], CELL_EMPTY);
      EXPECT_EQ(PlayedEffects(), Effects{mission == 10 ? 8 : 4});
    }
}

class GlobeTest : public BattleTest {
 protected:
  void SetUp() override {
    BattleTest::SetUp();
    Restart();
  }
  // An open field with the globe in its middle.
  void Restart() {
    ResetGame();
    Enter(1);
    ClearField();
    SceneTimer = 1;
    PlayerGlobe.x = 160;
    PlayerGlobe.y = 240;
    PlayedEffects();
  }
};

// 75 steps of 0.2f leave the speed just below 16, so a 76th passes it; down stops below 2.
TEST_F(GlobeTest, SteeringTurnsWrapsAndKeepsTheSpeedInItsLimits) {
  for (auto [bits, heading, speed, afterHeading, afterSpeed] :
       {std::tuple{INPUT_RIGHT | INPUT_UP, 252, 15.99f, 4, 16.19f},
        {INPUT_LEFT | INPUT_UP, 0, 16.01f, 248, 16.01f},
        {INPUT_LEFT | INPUT_RIGHT | INPUT_DOWN, 10, 2.01f, 18, 1.81f},
        {INPUT_UP | INPUT_DOWN, 10, 1.99f, 10, 2.19f},
        {INPUT_DOWN, 10, 1.99f, 10, 1.99f}}) {
    PlayerGlobe.heading = heading;
    PlayerGlobe.speed = speed;
    Hold(bits);
    EXPECT_EQ(SteerGlobe(), heading != afterHeading ? 1 : 0);
    EXPECT_EQ(PlayerGlobe.heading, afterHeading);
    EXPECT_NEAR(PlayerGlobe.speed, afterSpeed, 1e-4f) << bits;
  }
}

TEST_F(GlobeTest, ButtonOneHoldsTheMoonAndButtonTwoSwapsSunAndEarthOncePerPress) {
  for (auto [bits, mode, sounds] : {std::tuple{INPUT_BUTTON2, MODE_TERA, Effects{7}},
                                    {0u, MODE_TERA, {}},
                                    {INPUT_BUTTON1, MODE_MOON, {7}},
                                    {INPUT_BUTTON1 | INPUT_BUTTON2, MODE_MOON, {}},
                                    {0u, MODE_TERA, {}},
                                    {INPUT_BUTTON2, MODE_SUN, {7}},
                                    {INPUT_BUTTON2, MODE_SUN, {}}}) {
    Hold(bits);
    SteerGlobe();
    EXPECT_EQ(std::tuple(PlayerGlobe.mode, PlayedEffects()), std::tuple(mode, sounds));
  }
}

// One frame's step is (trunc(r cos), trunc(r sin)) with r the truncated speed.
TEST_F(GlobeTest, MovesAlongItsHeading) {
  for (auto [heading, speed, dx, dy] : {std::tuple{200, 1.8f, 0, 0},
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

TEST_F(GlobeTest, EnergyAndTimeEndTheMissionOnceAndWinningComesFirst) {
  PlayerGlobe.energy = 3;
  EXPECT_EQ(std::tuple(AddEnergy(-3), MissionFailed), std::tuple(0, 0));
  EXPECT_EQ(std::tuple(AddEnergy(-1), PlayerGlobe.energy, MissionFailed), std::tuple(1, 0, 1));
  BattleOver = 1;
  EXPECT_EQ(std::tuple(AddEnergy(-50), PlayerGlobe.energy), std::tuple(0, 0));
  Restart();
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
  // The backdrop neither steers nor counts nor ends.
  Restart();
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
    const int32_t r1 = NextOf(&seed) & 15, r2 = NextOf(&seed) & 15;
    EXPECT_EQ(std::tuple(TempoPercent.load(), Explosions[0].active),
              std::tuple(danger ? 130 : 100, danger ? 1 : 0));
    EXPECT_EQ(std::tuple(Explosions[0].x, Explosions[0].y),
              danger ? std::tuple(160 - 8 - r1, 240 - 8 - r2) : std::tuple(0, 0));
  }
}

// The banner shows up to and including the frame with SceneTimer 129.
TEST_F(GlobeTest, OpeningBannerNamesTheMission) {
  Enter(10);
  for (uint32_t t : {1u, 129u, 130u}) {
    SceneTimer = t;
    gf_DD_ScrFill(screen_, 0);
    BattleFrame();
    EXPECT_EQ(ShowsText(MissionNames[9], 80, 120), t <= 129) << t;
    EXPECT_EQ(ShowsText("MISSION 10", 80, 96), t <= 129) << t;
  }
}

}  // namespace
