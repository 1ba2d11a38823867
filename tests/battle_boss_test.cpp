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
    gf_DD_ScrFill(screen_, 0);
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

TEST_F(BossTest, StartsAcceleratingAndWarnsFromTheFirstFrame) {
  Enter(10);  // with its rocks
  SceneTimer = 1;
  GlobeScreenX = 136;
  GlobeScreenY = 96;
  BossStep();
  EXPECT_EQ(std::tuple(BossState.speed, BossState.x, BossState.y), std::tuple(0.2f, 160, 160));
  for (auto [x, y] : {std::pair{128, 88}, {120, 80}, {199, 80}}) EXPECT_EQ(ScreenAt(x, y), 224);
  EXPECT_TRUE(ShowsText("BOSS ENELGY 32000", 64, 146));
  Place(100, 100, 0, 0.0f);
  gf_DD_ScrFill(screen_, 0);
  BossStep();
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, 224), 0);
}

// Every 16 frames: toward straight down while below the globe, toward straight up otherwise.
TEST_F(BossTest, TurnsTowardTheGlobesRowAndHoldsTheChoice) {
  for (auto [y, globeY, heading, timer, heldTurn, after] : {std::tuple{300, 100, 100, 16u, 0, 92},
                                                            {300, 100, 10, 32u, 0, 18},
                                                            {50, 400, 100, 48u, 0, 108},
                                                            {50, 400, 200, 64u, 0, 192},
                                                            {300, 100, 64, 16u, 0, 72},
                                                            {300, 100, 192, 16u, 0, 200},
                                                            {50, 400, 100, 17u, 4, 92},
                                                            {50, 400, 100, 17u, 0, 100},
                                                            {50, 400, 252, 16u, 0, 244}}) {
    Place(100, y, heading, 0.0f);
    BossState.turn = heldTurn;
    PlayerGlobe.y = globeY;
    SceneTimer = timer;
    BossStep();
    EXPECT_EQ(BossState.heading, after) << y << " " << heading << " " << timer;
  }
}

TEST_F(BossTest, SpeedsUpNearTheGlobeAndSlowsDownAwayWithinLimits) {
  for (auto [speed, near, after, dx] : {std::tuple{0.0f, false, 0.0f, 0},
                                        {4.0f, false, 4.0f, 4},
                                        {10.0f, false, 10.0f - 0.2f, 9},
                                        {9.9f, true, 9.9f + 0.2f, 10},
                                        {10.0f, true, 10.0f, 10}}) {
    Place(100, 200, 0, speed);
    if (near) PlayerGlobe = {130, 250, 0, 0, 0, 1.0f, 999, 0, 0};
    BossStep();
    EXPECT_EQ(std::tuple(BossState.speed, BossState.x), std::tuple(after, 100 + dx));
  }
}

// Edges reflect the heading and start a recoil frame; the right edge alone gives no blast.
TEST_F(BossTest, EdgesReflectAndAllButTheRightOneExplode) {
  for (auto [x, y, heading, wantX, wantY, reflected, blast, blastX, blastY] :
       {std::tuple{2, 200, 128, 0, 200, 0, true, -2, 200},
        {285, 200, 0, 287, 200, 128, false, 0, 0},
        {100, 2, 192, 100, 0, 64, true, 100, -2},
        {100, 445, 64, 100, 447, 192, true, 100, 449}}) {
    Restart();
    Place(x, y, heading, 5.0f);  // slows to 4.8: four units a frame
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.x, BossState.y, BossState.stun), std::tuple(wantX, wantY, -1));
    if (blast) {
      EXPECT_EQ(std::tuple(Explosions[0].x, Explosions[0].y), std::tuple(blastX, blastY));
      NextOf(&seed);
    }
    const Explosion& recoil = Explosions[blast ? 1 : 0];
    const int32_t rx = NextOf(&seed) & 31, ry = NextOf(&seed) & 31;
    NextOf(&seed);
    EXPECT_EQ(std::tuple(recoil.x, recoil.y), std::tuple(wantX + rx - 16, wantY + ry - 16));
    EXPECT_EQ(BossState.heading, (reflected + (NextOf(&seed) & 31) - 15) & 255);
  }
}

// Every solid cell holding the centre sends the boss back; later cells see the restored place.
TEST_F(BossTest, CellsTurnTheBossBackAndTheScanGoesOn) {
  for (auto [solid, heading] :
       {std::pair{std::vector<int32_t>{6}, 128}, {{5}, 128}, {{6, 10}, 0}}) {
    Restart();
    for (int32_t i : solid) CellTypes[i] = CELL_ROCK;
    Place(40, 80, 0, 9.0f);  // centre (56, 96) moves to (64, 96)
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.x, BossState.y), std::tuple(40, 80));
    for (int32_t k = 0; k < 3; ++k) NextOf(&seed);  // the blast's place and delay
    EXPECT_EQ(BossState.heading, (heading + (NextOf(&seed) & 31) - 15) & 255);
  }
}

TEST_F(BossTest, RammingTheBossHurtsItByGlobeSpeedAndFace) {
  for (auto [speed, mode, damage] : {std::tuple{1.0f, MODE_SUN, 10},
                                     {1.9f, MODE_MOON, 20},
                                     {16.2f, MODE_TERA, 85},
                                     {16.2f, MODE_MOON, 170}}) {
    Ram(speed, mode);
    Score = 0;
    BossStep();
    EXPECT_EQ(std::tuple(BossState.energy, Score, BossState.speed, BossState.stun),
              std::tuple(3200 - damage, 5, 9.0f, 31));
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.energy), std::tuple(150, 999));
    EXPECT_EQ(PlayedEffects(), std::vector<int32_t>{10});
  }
  // The boss's far corner must lie strictly inside the globe's box, and the backdrop never rams.
  Ram(1.0f, MODE_SUN);
  BossState.x = 118;
  BossStep();
  EXPECT_EQ(BossState.energy, 3200);
  Ram(1.0f, MODE_SUN);
  BattleOver = 1;
  BossStep();
  EXPECT_EQ(BossState.energy, 3200);
}

TEST_F(BossTest, EnergyOfZeroSurvivesAndBelowZeroWins) {
  Ram(1.0f, MODE_SUN);
  BossState.energy = 10;
  BossStep();
  EXPECT_EQ(std::tuple(BossState.energy, MissionCleared), std::tuple(0, 0));
  BossState.speed = 0.0f;  // stays in reach for a second ram
  BossStep();
  EXPECT_EQ(std::tuple(BossState.energy, MissionCleared, BossState.stun), std::tuple(0, 1, 9999));
  gf_DD_ScrFill(screen_, 0);
  BossStep();
  for (int32_t x = 64; x < 320; ++x)  // no energy text any more
    EXPECT_FALSE(ScreenAt(x, 150) >= 150 && ScreenAt(x, 150) < 190) << x;
}

// Undisturbed, the boss regains one every 16 frames and lays an object every 128.
TEST_F(BossTest, RegainsEnergyAndLaysObjectsOnlyWhenNotStunned) {
  for (auto [timer, stun, level, gain, lays] : {std::tuple{16u, 0, 0, 1, false},
                                                {128u, 0, 0, 1, true},
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
    if (!lays) {
      EXPECT_EQ(CellTypes[33], CELL_ROCK);
      continue;
    }
    EXPECT_EQ(CellTypes[33], (NextOf(&seed) & 1) * 2);
    EXPECT_EQ(CellHp[33], 80 * level + 48);
    EXPECT_EQ(SheetAt(13, 227), 255);
  }
}

}  // namespace
