// The boss: decisions, movement, edges, cells, ram, recoil, regeneration and laying objects.
#include "battle_fixture.h"

namespace {

int32_t NextOf(uint32_t* seed) { return static_cast<int32_t>(*seed = *seed * 5 + 1); }

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
};

TEST_F(BossTest, StartsAcceleratingAndWarnsFromTheFirstFrame) {
  Enter(10);
  GlobeScreenX = 136;
  GlobeScreenY = 96;
  SceneTimer = 1;
  BossStep();
  EXPECT_EQ(BossState.speed, 0.2f);
  EXPECT_EQ(BossState.x, 160);
  EXPECT_EQ(BossState.y, 160);
  EXPECT_EQ(ScreenAt(128, 88), 224);
  EXPECT_EQ(ScreenAt(120, 80), 224);
  EXPECT_EQ(ScreenAt(120 + 79, 80), 224);
  EXPECT_TRUE(ShowsText("BOSS ENELGY 32000", 64, 146));
  Place(100, 100, 0, 0.0f);
  gf_DD_ScrFill(screen_, 0);
  BossStep();
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, 224), 0);
}

// Every 16 frames: toward straight down while below the globe, toward straight up otherwise.
TEST_F(BossTest, TurnsTowardTheGlobesRowAndHoldsTheChoice) {
  struct Case {
    int32_t y, globeY, heading;
    uint32_t timer;
    int32_t heldTurn, after;
  } cases[] = {{300, 100, 100, 16, 0, 92}, {300, 100, 10, 32, 0, 18},  {50, 400, 100, 48, 0, 108},
               {50, 400, 200, 64, 0, 192}, {300, 100, 64, 16, 0, 72},  {300, 100, 192, 16, 0, 200},
               {50, 400, 100, 17, 4, 92},  {50, 400, 100, 17, 0, 100}, {50, 400, 252, 16, 0, 244}};
  for (const Case& c : cases) {
    Place(100, c.y, c.heading, 0.0f);
    BossState.turn = c.heldTurn;
    PlayerGlobe.y = c.globeY;
    SceneTimer = c.timer;
    BossStep();
    EXPECT_EQ(BossState.heading, c.after) << c.y << " " << c.heading << " " << c.timer;
  }
}

TEST_F(BossTest, SpeedsUpNearTheGlobeAndSlowsDownAwayWithinLimits) {
  struct Case {
    float speed;
    bool near;
    float after;
    int32_t dx;
  } cases[] = {{0.0f, false, 0.0f, 0},
               {4.0f, false, 4.0f, 4},
               {10.0f, false, 10.0f - 0.2f, 9},
               {9.9f, true, 9.9f + 0.2f, 10},
               {10.0f, true, 10.0f, 10}};
  for (const Case& c : cases) {
    Place(100, 200, 0, c.speed);
    if (c.near) PlayerGlobe = {130, 250, 0, 0, 0, 1.0f, 999, 0, 0};
    BossStep();
    EXPECT_EQ(BossState.speed, c.after);
    EXPECT_EQ(BossState.x, 100 + c.dx);
  }
}

// Edges reflect the heading and start a recoil frame; the right edge alone gives no blast.
TEST_F(BossTest, EdgesReflectAndAllButTheRightOneExplode) {
  struct Case {
    int32_t x, y, heading, wantX, wantY, reflected;
    bool blast;
    int32_t blastX, blastY;
  } cases[] = {{2, 200, 128, 0, 200, 0, true, -2, 200},
               {285, 200, 0, 287, 200, 128, false, 0, 0},
               {100, 2, 192, 100, 0, 64, true, 100, -2},
               {100, 445, 64, 100, 447, 192, true, 100, 449}};
  for (const Case& c : cases) {
    Restart();
    Place(c.x, c.y, c.heading, 5.0f);  // slows to 4.8: four units a frame
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(BossState.x, c.wantX);
    EXPECT_EQ(BossState.y, c.wantY);
    int32_t recoil = 0;
    if (c.blast) {
      EXPECT_EQ(Explosions[0].x, c.blastX);
      EXPECT_EQ(Explosions[0].y, c.blastY);
      NextOf(&seed);
      recoil = 1;
    }
    const int32_t rx = NextOf(&seed) & 31, ry = NextOf(&seed) & 31;
    NextOf(&seed);
    EXPECT_EQ(Explosions[recoil].x, c.wantX + rx - 16);
    EXPECT_EQ(Explosions[recoil].y, c.wantY + ry - 16);
    EXPECT_EQ(BossState.heading, (c.reflected + (NextOf(&seed) & 31) - 15) & 255);
    EXPECT_EQ(BossState.stun, -1);
  }
}

// Every solid cell holding the centre sends the boss back; later cells see the restored place.
TEST_F(BossTest, CellsTurnTheBossBackAndTheScanGoesOn) {
  struct Case {
    std::vector<int32_t> solid;
    int32_t heading;
  } cases[] = {{{6}, 128}, {{5}, 128}, {{6, 10}, 0}};
  for (const Case& c : cases) {
    Restart();
    for (int32_t i : c.solid) CellTypes[i] = CELL_ROCK;
    Place(40, 80, 0, 9.0f);  // centre (56, 96) moves to (64, 96)
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(BossState.x, 40);
    EXPECT_EQ(BossState.y, 80);
    for (int32_t k = 0; k < 3; ++k) NextOf(&seed);  // the blast's place and delay
    EXPECT_EQ(BossState.heading, (c.heading + (NextOf(&seed) & 31) - 15) & 255);
  }
}

TEST_F(BossTest, RammingTheBossHurtsItByGlobeSpeedAndFace) {
  struct Case {
    float speed;
    int32_t mode, damage;
  } cases[] = {
      {1.0f, MODE_SUN, 10}, {1.9f, MODE_MOON, 20}, {16.2f, MODE_TERA, 85}, {16.2f, MODE_MOON, 170}};
  for (const Case& c : cases) {
    Place(130, 130, 40, 0.0f);
    PlayerGlobe = {150, 150, 0, 0, 0, c.speed, 999, c.mode, 0};
    Score = 0;
    BossStep();
    EXPECT_EQ(BossState.energy, 3200 - c.damage);
    EXPECT_EQ(Score, 5);
    EXPECT_EQ(BossState.speed, 9.0f);
    EXPECT_EQ(BossState.stun, 31);
    EXPECT_EQ(PlayerGlobe.x, 150);
    EXPECT_EQ(PlayerGlobe.energy, 999);
    EXPECT_EQ(PlayedEffects(), std::vector<int32_t>{10});
  }
  // The boss's far corner must lie strictly inside the globe's box.
  Place(118, 130, 40, 0.0f);
  PlayerGlobe = {150, 150, 0, 0, 0, 1.0f, 999, MODE_SUN, 0};
  BossStep();
  EXPECT_EQ(BossState.energy, 3200);
  Place(130, 130, 40, 0.0f);
  PlayerGlobe = {150, 150, 0, 0, 0, 1.0f, 999, MODE_SUN, 0};
  BattleOver = 1;
  BossStep();
  EXPECT_EQ(BossState.energy, 3200);
}

TEST_F(BossTest, EnergyOfZeroSurvivesAndBelowZeroWins) {
  Place(130, 130, 40, 0.0f);
  BossState.energy = 10;
  PlayerGlobe = {150, 150, 0, 0, 0, 1.0f, 999, MODE_SUN, 0};
  BossStep();
  EXPECT_EQ(BossState.energy, 0);
  EXPECT_EQ(MissionCleared, 0);
  BossState.speed = 0.0f;  // stays in reach for a second ram
  BossStep();
  EXPECT_EQ(BossState.energy, 0);
  EXPECT_EQ(MissionCleared, 1);
  EXPECT_EQ(BossState.stun, 9999);
  gf_DD_ScrFill(screen_, 0);
  BossStep();
  for (int32_t x = 64; x < 320; ++x) {  // no energy text any more
    EXPECT_FALSE(ScreenAt(x, 150) >= 150 && ScreenAt(x, 150) < 190) << x;
  }
}

// Undisturbed, the boss regains one every 16 frames and lays an object every 128.
TEST_F(BossTest, RegainsEnergyAndLaysObjectsOnlyWhenNotStunned) {
  struct Case {
    uint32_t timer;
    int32_t stun, level, energyGain;
    bool lays;
  } cases[] = {{16, 0, 0, 1, false},
               {128, 0, 0, 1, true},
               {128, 0, 1, 1, true},
               {128, 3, 0, 0, false},
               {17, 0, 0, 0, false}};
  for (const Case& c : cases) {
    Restart();
    Level = c.level;
    CellTypes[33] = CELL_ROCK;
    Place(250, 330, 0, 0.0f);  // corner in cell 33, centre in the empty cell 39
    BossState.stun = c.stun;
    ObjectsLeft = 3;
    SceneTimer = c.timer;
    uint32_t seed = RandomSeed;
    BossStep();
    EXPECT_EQ(BossState.energy, 3200 + c.energyGain);
    EXPECT_EQ(ObjectsLeft, 3);
    EXPECT_EQ(BossState.stun, c.stun > 0 ? c.stun - 1 : 0);
    if (!c.lays) {
      EXPECT_EQ(CellTypes[33], CELL_ROCK);
      continue;
    }
    EXPECT_EQ(CellTypes[33], (NextOf(&seed) & 1) * 2);
    EXPECT_EQ(CellHp[33], 80 * c.level + 48);
    EXPECT_EQ(SheetAt(13, 227), 255);
  }
}

}  // namespace
