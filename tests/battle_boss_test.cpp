// The boss: decisions, movement, edges, cells, ram, recoil, regeneration and laying objects.
#include <tuple>

#include "battle_fixture.h"

namespace {

class BossTest : public BattleTest {
 protected:
  void SetUp() override {
    BattleTest::SetUp();
    Restart();
  }
  void Restart() {
    ResetGame();
    Enter(10);
    ClearField();
    SceneTimer = 1;
    PlayedEffects();
  }
  // The boss somewhere with the globe far away (more than 128 from the boss's corner).
  static void Place(int32_t x, int32_t y, int32_t heading, float speed) {
    BossState = {x, y, 0, 0, heading, speed, 3200, 0, 0};
    PlayerGlobe.x = x < 160 ? 310 : 10;
    PlayerGlobe.y = y < 240 ? 470 : 10;
  }
  // A globe of this speed and face whose box holds the boss's far corner when it is at 130,130.
  static void Ram(float speed, int32_t mode) {
    Place(130, 130, 40, 0.0f);
    PlayerGlobe = {150, 150, 0, 0, 0, speed, 999, mode, 0};
  }
};

// Every 16 frames it turns toward straight down while below the globe, straight up otherwise;
// it speeds up near the globe and slows down away, within 0 and 10.
TEST_F(BossTest, TurnsTowardTheGlobesRowAndChangesSpeedWithinLimits) {
  for (auto [y, heading, speed, timer, turn, globeX, globeY, afterHeading, afterSpeed] :
       {std::tuple{300, 10, 0.0f, 32u, 0, 310, 100, 18, 0.0f},
        {50, 100, 0.0f, 17u, 4, 310, 400, 92, 0.0f},
        {50, 252, 0.0f, 16u, 0, 310, 400, 244, 0.0f},
        {200, 0, 10.0f, 1u, 0, 310, 470, 0, 10.0f - 0.2f},
        {200, 0, 9.9f, 1u, 0, 130, 250, 0, 9.9f + 0.2f},
        {200, 0, 10.0f, 1u, 0, 130, 250, 0, 10.0f}}) {
    BossState = {100, y, 0, 0, heading, speed, 3200, turn, 0};
    PlayerGlobe.x = globeX, PlayerGlobe.y = globeY;
    SceneTimer = timer;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.heading, BossState.speed, BossState.x),
              std::tuple(afterHeading, afterSpeed, 100 + static_cast<int32_t>(afterSpeed)))
        << y << " " << heading << " " << timer;
  }
}

// Edges reflect the heading and start a recoil blast; the right edge alone gives no edge blast.
TEST_F(BossTest, EdgesReflectTheBossAndStartARecoil) {
  for (auto [x, heading, wantX, reflected, blast] :
       {std::tuple{2, 128, 0, 0, true}, {285, 0, 287, 128, false}}) {
    Restart();
    Place(x, 200, heading, 5.0f);  // slows to 4.8: four units a frame
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.x, BossState.stun, Explosions[0].x == -2),
              std::tuple(wantX, -1, blast));
    for (int32_t k = 0; k < (blast ? 4 : 3); ++k) NextOf(&seed);  // the blasts' places and delays
    EXPECT_EQ(BossState.heading, (reflected + (NextOf(&seed) & 31) - 15) & 255);
  }
}

// A ram needs the boss's far corner strictly inside the globe's box; the backdrop never rams.
TEST_F(BossTest, RammingHurtsByGlobeSpeedAndFaceAndWinsBelowZero) {
  for (auto [speed, mode, bossX, backdrop, damage] : {std::tuple{1.9f, MODE_MOON, 130, 0, 20},
                                                      {16.2f, MODE_TERA, 130, 0, 85},
                                                      {1.0f, MODE_SUN, 118, 0, 0},
                                                      {1.0f, MODE_SUN, 130, 1, 0}}) {
    Ram(speed, mode);
    BossState.x = bossX;
    BattleOver = backdrop;
    Score = 0;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.energy, Score, BossState.stun, PlayedEffects().size()),
              std::tuple(3200 - damage, damage ? 5 : 0, damage ? 31 : 0, damage ? 1u : 0u));
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.energy), std::tuple(150, 999));
  }
  Restart();
  Ram(1.0f, MODE_SUN);
  BossState.energy = 10;
  BossStep();
  EXPECT_EQ(std::tuple(BossState.energy, MissionCleared), std::tuple(0, 0));
  BossState.speed = 0.0f;  // stays in reach for a second ram
  BossStep();
  EXPECT_EQ(std::tuple(BossState.energy, MissionCleared, BossState.stun), std::tuple(0, 1, 9999));
}

// Undisturbed, the boss regains one every 16 frames and lays an object every 128.
TEST_F(BossTest, RegainsEnergyAndLaysObjectsOnlyWhenNotStunned) {
  for (auto [timer, stun, level, gain, lays] : {std::tuple{16u, 0, 0, 1, false},
                                                {128u, 0, 1, 1, true},
                                                {128u, 3, 0, 0, false},
                                                {17u, 0, 0, 0, false}}) {
    Restart();
    Level = level;
    CellTypes[33] = CELL_ROCK;
    Place(250, 330, 0, 0.0f);  // corner in cell 33, centre in the empty cell 39
    BossState.stun = stun;
    ObjectsLeft = 3;
    SceneTimer = timer;
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.energy, ObjectsLeft, BossState.stun),
              std::tuple(3200 + gain, 3, stun > 0 ? stun - 1 : 0));
    EXPECT_EQ(std::tuple(CellTypes[33], SheetAt(13, 227) == 255, CellHp[33]),
              lays ? std::tuple((NextOf(&seed) & 1) * 2, true, 80 * level + 48)
                   : std::tuple(CELL_ROCK, false, 0));
  }
}

}  // namespace
