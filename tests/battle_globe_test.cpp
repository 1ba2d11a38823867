// Mission set-up, the battle frame and the globe, the camera and the star field.
#include <tuple>

#include "battle/field_view.h"
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
      uint32_t seed = RandomSeed = 2;
      for (int32_t k = 0; k < 160; ++k) NextOf(&seed);
      Enter(mission, level);
      int32_t objects = 0;
      for (int32_t i = 0; i < CELL_COUNT; ++i) {
        const int32_t t = CellTypes[i], green = t == CELL_GREEN;
        objects += t <= CELL_BLUE;
        EXPECT_EQ(SheetAt(1 + 4 * (i % 5) + 2, 209 + 3 * (i / 5) + 1), t == CELL_EMPTY ? 10 : 255);
        if (t <= CELL_BLUE) {
          EXPECT_EQ(CellHp[i], (NextOf(&seed) & (7 + 8 * green)) + (80 + 80 * green) * level + 48 +
                                   80 * green);
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
  // An open field with the globe in its middle, standing still at speed 1.
  void Restart() {
    ResetGame();
    Enter(1);
    ClearField();
    SceneTimer = 1;
    PlayerGlobe.x = 160;
    PlayerGlobe.y = 240;
    PlayerGlobe.heading = 200;
    PlayedEffects();
  }
};

// Up adds 0.2 below 16, down takes it off above 2 and up wins; turns wrap; button 2 swaps sun
// and earth once per press, button 1 holds the moon.
TEST_F(GlobeTest, SteeringTurnsWrapsKeepsTheSpeedInItsLimitsAndSwapsFaces) {
  constexpr uint32_t U = INPUT_UP, D = INPUT_DOWN, L = INPUT_LEFT, R = INPUT_RIGHT;
  constexpr uint32_t B1 = INPUT_BUTTON1, B2 = INPUT_BUTTON2;
  for (auto [bits, heading, speed, afterHeading, afterSpeed, mode, sounds] :
       {std::tuple{R | U | B2, 252, 15.99f, 4, 16.19f, MODE_TERA, Effects{7}},
        {L | U | B2, 0, 16.01f, 248, 16.01f, MODE_TERA, {}},
        {L | R | D | B1, 10, 2.01f, 18, 1.81f, MODE_MOON, {7}},
        {U | D | B1 | B2, 10, 1.99f, 10, 2.19f, MODE_MOON, {}},
        {D, 10, 1.99f, 10, 1.99f, MODE_TERA, {}},
        {B2, 10, 1.0f, 10, 1.0f, MODE_SUN, {7}}}) {
    PlayerGlobe.heading = heading;
    PlayerGlobe.speed = speed;
    Hold(bits);
    EXPECT_EQ(SteerGlobe(), heading != afterHeading ? 1 : 0);
    EXPECT_EQ(std::tuple(PlayerGlobe.heading, PlayerGlobe.mode, PlayedEffects()),
              std::tuple(afterHeading, mode, sounds));
    EXPECT_NEAR(PlayerGlobe.speed, afterSpeed, 1e-4f) << bits;
  }
}

// Energy and time end the mission once, on the frame that takes them past or to zero; winning
// in the same frame comes first; the backdrop neither steers nor counts nor ends.
TEST_F(GlobeTest, EnergyAndTimeEndTheMissionOnceAndWinningComesFirst) {
  PlayerGlobe.energy = 3;
  EXPECT_EQ(std::tuple(AddEnergy(-3), MissionFailed), std::tuple(0, 0));
  EXPECT_EQ(std::tuple(AddEnergy(-1), PlayerGlobe.energy, MissionFailed), std::tuple(1, 0, 1));
  for (auto [cleared, backdrop, scene] :
       {std::tuple{0, 0, SCENE_GAMEOVER}, {1, 0, SCENE_RESULT}, {0, 1, SCENE_BATTLE}}) {
    Restart();
    TimeLeft = 2;
    BattleOver = MissionFailed = backdrop;
    Hold(INPUT_RIGHT);
    BattleFrame();
    EXPECT_EQ(SceneId, SCENE_BATTLE);
    MissionCleared = cleared;
    BattleFrame();
    EXPECT_EQ(std::tuple(SceneId, TimeLeft, PlayerGlobe.heading != 200),
              std::tuple(scene, backdrop ? 2 : 0, !backdrop));
  }
  EXPECT_EQ(std::tuple(AddEnergy(-5000), PlayerGlobe.energy), std::tuple(0, 999));
}

// Every fourth frame of low energy or time: tempo 130 and a blast.
TEST_F(GlobeTest, DangerSpeedsTheMusicAndSpawnsBlastsEveryFourthFrame) {
  for (auto [energy, time, timer, danger] : {std::tuple{319, 5000, 4u, true},
                                             {999, 1999, 8u, true},
                                             {320, 2000, 4u, false},
                                             {100, 5000, 5u, false}}) {
    Restart();
    PlayerGlobe.energy = energy;
    TimeLeft = time + 1;
    SceneTimer = timer;
    SetMusicTempo(100);
    BattleFrame();
    EXPECT_EQ(std::tuple(TempoPercent.load(), Explosions[0].active),
              danger ? std::tuple(130, 1) : std::tuple(100, 0));
  }
}

// The camera stays in the field; sparkles are renewed (five draws each) only past their bounds,
// and their phase wraps instead of overflowing.
TEST_F(GlobeTest, CameraStaysInTheFieldAndSparklesRenewPastTheirBounds) {
  for (auto [y, top] : {std::pair{0, 0}, {120, 0}, {121, 1}, {360, 240}, {479, 240}}) {
    PlayerGlobe.y = y;
    EXPECT_EQ(CameraTop(), top) << y;
  }
  for (auto [y, renewed] : {std::pair{-33, true}, {-32, false}, {240, false}, {241, true}}) {
    for (Star& s : StarField) s = Star{100, 100, 1, 1, 0, 20, 0};
    StarField[3].y = y;
    uint32_t seed = RandomSeed;
    StarFieldStep(0);
    for (int32_t k = 0; k < 5 * renewed; ++k) NextOf(&seed);
    EXPECT_EQ(RandomSeed, seed) << y;
  }
  StarField[0].phase = 0x7FFFFFFC;
  StarFieldStep(0);
  EXPECT_EQ(StarField[0].phase & 255, 4);
}

}  // namespace
