// The globe against edges and cells, every ram outcome, explosions and the world-space blits.
#include <tuple>

#include "battle/field_objects.h"
#include "battle_fixture.h"

namespace {

using Effects = std::vector<int32_t>;

class FieldTest : public BattleTest {
 protected:
  void SetUp() override {
    BattleTest::SetUp();
    Enter(1);
    ClearField();
    PlayedEffects();
  }
  // The globe at rest at (x, y), coming from (fromX, y).
  void Place(int32_t x, int32_t y, int32_t heading, int32_t fromX) {
    PlayerGlobe.x = x;
    PlayerGlobe.prevX = fromX;
    PlayerGlobe.prevY = PlayerGlobe.y = y;
    PlayerGlobe.heading = heading;
  }
};

TEST_F(FieldTest, EdgesClampReflectAndCostTwoEnergy) {
  for (auto [x, y, heading, wantX, wantY, wantHeading] : {std::tuple{-3, 200, 140, 0, 200, 244},
                                                          {320, 200, 10, 319, 200, 118},
                                                          {100, -1, 200, 100, 0, 56},
                                                          {100, 480, 70, 100, 479, 186},
                                                          {-1, -1, 160, 0, 0, 32},
                                                          {319, 479, 5, 319, 479, 5}}) {
    Place(x, y, heading, x);
    PlayerGlobe.energy = 999;
    const bool edge = wantX != x || wantY != y;
    EXPECT_EQ(CollideGlobe(), edge ? 1 : 0);
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.y, PlayerGlobe.heading, PlayerGlobe.energy),
              std::tuple(wantX, wantY, wantHeading, edge ? 997 : 999));
    EXPECT_EQ(PlayedEffects(), edge ? Effects{3} : Effects{});
  }
  // A whole frame turns at random after the edge.
  Place(0, 200, 128, 0);  // moving left at speed 1 into the edge
  uint32_t seed = RandomSeed;
  BattleFrame();
  EXPECT_EQ(PlayerGlobe.heading, (0 + (NextOf(&seed) & 15) - 7) & 255);
}

// Cell borders belong to both cells; the first solid one in index order is hit.
TEST_F(FieldTest, BordersHitTheFirstSolidCellInIndexOrder) {
  for (auto [x, y, solid, hit] : {std::tuple{64, 100, Effects{10, 11}, 10},
                                  {64, 100, {11}, 11},
                                  {64, 96, {11, 6, 10}, 6},
                                  {128, 48, {7}, 7},
                                  {127, 47, {7}, -1},
                                  {319, 479, {49}, 49},
                                  {64, 100, {10}, 10},
                                  {128, 96, {6}, 6}}) {
    ClearField();
    for (int32_t i : solid) CellTypes[i] = CELL_ROCK;
    Place(x, y, 0, 5);
    PlayerGlobe.energy = 999;
    CollideGlobe();
    EXPECT_EQ(std::tuple(PlayerGlobe.energy, PlayerGlobe.x, PlayerGlobe.heading),
              hit >= 0 ? std::tuple(995, 5, 128) : std::tuple(999, x, 0))
        << x << "," << y;
  }
  // A rock and an edge in one frame cost six and sound in that order.
  ClearField();
  CellTypes[0] = CELL_ROCK;
  Place(-2, 10, 128, 3);
  PlayerGlobe.energy = 999;
  PlayedEffects();
  CollideGlobe();
  EXPECT_EQ(PlayerGlobe.energy, 993);
  EXPECT_EQ(PlayedEffects(), (Effects{5, 3}));
}

// Damage per ram is (trunc(speed) + 1) times the face's multiplier against the colour.
TEST_F(FieldTest, RamsDamageByFaceAndColour) {
  for (auto [mode, type, speed, damage] : {std::tuple{MODE_SUN, CELL_RED, 1.8f, 8},
                                           {MODE_SUN, CELL_GREEN, 1.0f, 2},
                                           {MODE_SUN, CELL_BLUE, 16.2f, 17},
                                           {MODE_TERA, CELL_RED, 1.0f, 2},
                                           {MODE_TERA, CELL_GREEN, 5.9f, 6},
                                           {MODE_TERA, CELL_BLUE, 1.0f, 10},
                                           {MODE_MOON, CELL_RED, 1.0f, 12},
                                           {MODE_MOON, CELL_GREEN, 16.2f, 102},
                                           {MODE_MOON, CELL_BLUE, 3.0f, 24}}) {
    CellTypes[12] = type;
    CellHp[12] = 500;
    PlayerGlobe.mode = mode;
    PlayerGlobe.speed = speed;
    Score = 0;
    EXPECT_EQ(DamageCell(12, type), 0);
    EXPECT_EQ(std::tuple(CellHp[12], Score), std::tuple(500 - damage, 1));
  }
  // A fresh red object takes seven sun rams or twenty-five earth rams; the last one breaks it.
  for (auto [mode, needed] : {std::pair{MODE_SUN, 7}, {MODE_TERA, 25}}) {
    CellTypes[6] = CELL_RED;
    CellHp[6] = 48;
    ObjectsLeft = 2;
    PlayerGlobe.mode = mode;
    PlayerGlobe.speed = 1.0f;
    for (int32_t ram = 1; ram < needed; ++ram) EXPECT_EQ(DamageCell(6, CELL_RED), 0);
    EXPECT_EQ(CellHp[6], 0);
    EXPECT_EQ(DamageCell(6, CELL_RED), 1);
    EXPECT_EQ(CellTypes[6], CELL_EMPTY);
  }
}

// Breaking: ten points (forty for green) on top of the ram, radar mark erased, eight blasts,
// and the mission won with the last object, except in the boss mission.
TEST_F(FieldTest, BreakingAnObjectScoresErasesItsMarkAndMayWin) {
  for (auto [mission, type, objectsLeft, score, cleared] : {std::tuple{1, CELL_RED, 2, 11, 0},
                                                            {1, CELL_BLUE, 1, 11, 1},
                                                            {3, CELL_GREEN, 1, 41, 1},
                                                            {10, CELL_RED, 0, 11, 0}}) {
    Enter(mission);
    ClearField();
    CellTypes[13] = type;
    CellHp[13] = 0;
    gf_DD_BoxFill(SheetSurface, RadarMarkBox(13), 255);
    ObjectsLeft = objectsLeft;
    Score = 0;
    PlayedEffects();
    Place(64 * 3 + 10, 48 * 2 + 10, 0, 100);
    uint32_t seed = RandomSeed;
    CollideGlobe();
    EXPECT_EQ(std::tuple(Score, ObjectsLeft, MissionCleared),
              std::tuple(score, objectsLeft - 1, cleared));
    EXPECT_EQ(SheetAt(13, 215), 10);
    EXPECT_EQ(PlayedEffects(), (Effects{2, 0}));
    // Blasts: one at the globe, one in the cell, then eight around the cell; each spawn also
    // draws its delay.
    const int32_t r1 = NextOf(&seed) & 15, r2 = NextOf(&seed) & 15;
    NextOf(&seed);
    EXPECT_EQ(std::tuple(Explosions[0].x, Explosions[0].y),
              std::tuple(202 + r1 - 24, 106 + r2 - 16));
    const int32_t r3 = NextOf(&seed) & 15, r4 = NextOf(&seed) & 15;
    NextOf(&seed);
    EXPECT_EQ(std::tuple(Explosions[1].x, Explosions[1].y), std::tuple(192 + r3 + 8, 96 + r4 + 8));
    for (int32_t k = 2; k < 10; ++k) {
      const int32_t rx = NextOf(&seed) & 63, ry = NextOf(&seed) & 63;
      EXPECT_EQ(std::tuple(Explosions[k].x, Explosions[k].y, Explosions[k].delay),
                std::tuple(192 + rx - 31, 96 + ry - 31, (NextOf(&seed) & 7) + 1));
    }
    EXPECT_EQ(Explosions[10].active, 0);
  }
}

TEST_F(FieldTest, BackdropRamsMakeNoiseButNoDamage) {
  CellTypes[13] = CELL_RED;
  CellHp[13] = 1;
  BattleOver = 1;
  Place(200, 100, 0, 100);
  CollideGlobe();
  EXPECT_EQ(std::tuple(CellHp[13], Score, Explosions[1].active), std::tuple(1, 0, 1));
  EXPECT_EQ(PlayedEffects(), Effects{2});
}

TEST_F(FieldTest, ExplosionPoolDropsTheThirtyThirdWithoutDrawing) {
  for (int32_t k = 0; k < EXPLOSION_COUNT; ++k) SpawnExplosion(k, 0);
  uint32_t seed = RandomSeed;
  SpawnExplosion(99, 99);
  EXPECT_EQ(RandomSeed, seed);
  Explosions[5].active = 0;
  SpawnExplosion(99, 98);
  EXPECT_EQ(std::tuple(Explosions[5].y, Explosions[5].delay),
            std::tuple(98, (NextOf(&seed) & 7) + 1));
}

// Delay d shows picture 0 for d steps and pictures 1 to 3 for d + 1 steps each.
TEST_F(FieldTest, ExplosionsPlayTheirFourPicturesAndEnd) {
  PlayerGlobe.y = 100;  // camera at the top
  for (int32_t d = 1; d <= 8; ++d) {
    SpawnExplosion(40, 60);
    Explosions[0].delay = d;
    std::vector<int32_t> shown, want(d, 0);
    for (int32_t step = 0; step < 4 * d + 5; ++step) {
      gf_DD_ScrFill(screen_, 0);
      StepExplosions();
      shown.push_back(ScreenAt(40, 60) == 0 ? -1 : ScreenAt(71, 91) - 131);
    }
    for (int32_t p = 1; p <= 3; ++p) want.insert(want.end(), d + 1, p);
    want.insert(want.end(), 2, -1);
    EXPECT_EQ(shown, want) << d;
    EXPECT_EQ(Explosions[0].active, 0);
  }
}

TEST_F(FieldTest, WorldBlitsFollowTheCameraAndShrinkInDoubleProducts) {
  PlayerGlobe.y = 456;  // camera 240
  gf_DD_ScrFill(screen_, 0);
  DrawAtWorld(10, 250, Box{240, 128, 64, 48});
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_ROCK]), 64 * 48);
  EXPECT_EQ(ScreenAt(10, 10), sheet_colour::CELL[CELL_ROCK]);
  for (auto [pw, ph, w, h] : {std::tuple{75, 75, 47, 35}, {80, 99, 51, 47}, {61, 61, 39, 29}}) {
    gf_DD_ScrFill(screen_, 0);
    DrawAtWorldScaled(20, 300, Box{176, 80, 64, 48}, pw, ph);
    EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_RED]), w * h);
    EXPECT_EQ(ScreenAt(20, 60), sheet_colour::CELL[CELL_RED]);
    EXPECT_EQ(ScreenAt(20 + w - 1, 60 + h - 1), sheet_colour::CELL[CELL_RED]);
  }
}

}  // namespace
