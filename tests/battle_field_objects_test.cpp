// The globe against edges and cells, ram outcomes, explosions and the world-space blits.
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
  // The globe at (x, y) with full energy, coming from (fromX, y).
  static void Place(int32_t x, int32_t y, int32_t heading, int32_t fromX) {
    PlayerGlobe.x = x;
    PlayerGlobe.prevX = fromX;
    PlayerGlobe.prevY = PlayerGlobe.y = y;
    PlayerGlobe.heading = heading;
    PlayerGlobe.energy = 999;
  }
};

// Edges clamp, reflect and cost two; cell borders belong to both cells and the first solid one
// in index order sends the globe back for four; a rock and an edge together cost six.
TEST_F(FieldTest, EdgesAndCellBordersStopTheGlobe) {
  for (auto [x, y, heading, wantX, wantY, wantHeading] : {std::tuple{-3, 200, 140, 0, 200, 244},
                                                          {100, 480, 70, 100, 479, 186},
                                                          {-1, -1, 160, 0, 0, 32},
                                                          {319, 479, 5, 319, 479, 5}}) {
    Place(x, y, heading, x);
    const bool edge = wantX != x || wantY != y;
    EXPECT_EQ(CollideGlobe(), edge ? 1 : 0);
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.y, PlayerGlobe.heading, PlayerGlobe.energy),
              std::tuple(wantX, wantY, wantHeading, edge ? 997 : 999));
    EXPECT_EQ(PlayedEffects(), edge ? Effects{3} : Effects{});
  }
  for (auto [x, y, solid, hit] :
       {std::tuple{64, 96, Effects{11, 6, 10}, 6}, {127, 47, {7}, -1}, {319, 479, {49}, 49}}) {
    ClearField();
    for (int32_t i : solid) CellTypes[i] = CELL_ROCK;
    Place(x, y, 0, 5);
    CollideGlobe();
    EXPECT_EQ(std::tuple(PlayerGlobe.energy, PlayerGlobe.x, PlayerGlobe.heading),
              hit >= 0 ? std::tuple(995, 5, 128) : std::tuple(999, x, 0))
        << x << "," << y;
  }
  ClearField();
  CellTypes[0] = CELL_ROCK;
  Place(-2, 10, 128, 3);
  PlayedEffects();
  CollideGlobe();
  EXPECT_EQ(std::tuple(PlayerGlobe.energy, PlayedEffects()), std::tuple(993, Effects{5, 3}));
  // A whole frame turns at random after the edge.
  Place(0, 200, 128, 0);
  uint32_t seed = RandomSeed;
  BattleFrame();
  EXPECT_EQ(PlayerGlobe.heading, ((NextOf(&seed) & 15) - 7) & 255);
}

// Damage per ram is (trunc(speed) + 1) times the face's multiplier against the colour; hit
// points of 0 survive and the next ram breaks the object.
TEST_F(FieldTest, RamsDamageByFaceAndColourAndBreakBelowZero) {
  for (auto [mode, type, speed, damage] : {std::tuple{MODE_SUN, CELL_RED, 1.8f, 8},
                                           {MODE_TERA, CELL_GREEN, 5.9f, 6},
                                           {MODE_TERA, CELL_BLUE, 1.0f, 10},
                                           {MODE_MOON, CELL_GREEN, 16.2f, 102}}) {
    CellTypes[12] = type;
    CellHp[12] = 500;
    PlayerGlobe.mode = mode;
    PlayerGlobe.speed = speed;
    Score = 0;
    EXPECT_EQ(DamageCell(12, type), 0);
    EXPECT_EQ(std::tuple(CellHp[12], Score), std::tuple(500 - damage, 1));
  }
  CellHp[12] = 0;
  EXPECT_EQ(std::tuple(DamageCell(12, CELL_GREEN), CellTypes[12]), std::tuple(1, CELL_EMPTY));
}

// Breaking scores ten (forty for green) on top of the ram, erases the radar mark, sets off ten
// blasts and wins with the last object, except in the boss mission; the backdrop only bumps.
TEST_F(FieldTest, BreakingAnObjectScoresErasesItsMarkAndMayWin) {
  for (auto [mission, type, objectsLeft, score, cleared] :
       {std::tuple{1, CELL_RED, 2, 11, 0}, {3, CELL_GREEN, 1, 41, 1}, {10, CELL_RED, 0, 11, 0}}) {
    Enter(mission);
    ClearField();
    CellTypes[13] = type;
    CellHp[13] = 0;
    gf_DD_BoxFill(SheetSurface, RadarMarkBox(13), 255);
    ObjectsLeft = objectsLeft;
    Score = 0;
    PlayedEffects();
    Place(64 * 3 + 10, 48 * 2 + 10, 0, 100);
    CollideGlobe();
    EXPECT_EQ(std::tuple(Score, ObjectsLeft, MissionCleared, SheetAt(13, 215)),
              std::tuple(score, objectsLeft - 1, cleared, 10));
    EXPECT_EQ(PlayedEffects(), (Effects{2, 0}));
    EXPECT_EQ(std::tuple(Explosions[9].active, Explosions[10].active), std::tuple(1, 0));
  }
  ClearField();
  CellTypes[13] = CELL_RED;
  CellHp[13] = 1;
  BattleOver = 1;
  Place(200, 100, 0, 100);
  Score = 0;
  CollideGlobe();
  EXPECT_EQ(std::tuple(CellHp[13], Score, PlayedEffects()), std::tuple(1, 0, Effects{2}));
}

// A full pool drops a blast without drawing its delay; delay d shows picture 0 for d steps and
// pictures 1 to 3 for d + 1 steps each.
TEST_F(FieldTest, ExplosionsFitThePoolPlayTheirPicturesAndEnd) {
  for (int32_t k = 0; k < EXPLOSION_COUNT; ++k) SpawnExplosion(k, 0);
  uint32_t seed = RandomSeed;
  SpawnExplosion(99, 99);
  EXPECT_EQ(RandomSeed, seed);
  for (Explosion& e : Explosions) e.active = 0;
  PlayerGlobe.y = 100;  // camera at the top
  for (int32_t d : {1, 8}) {
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
  }
}

TEST_F(FieldTest, WorldBlitsFollowTheCameraAndShrinkInDoubleProducts) {
  PlayerGlobe.y = 456;  // camera 240
  gf_DD_ScrFill(screen_, 0);
  DrawAtWorld(10, 250, Box{240, 128, 64, 48});
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_ROCK]), 64 * 48);
  EXPECT_EQ(ScreenAt(10, 10), sheet_colour::CELL[CELL_ROCK]);
  for (auto [pw, ph, w, h] : {std::tuple{75, 75, 47, 35}, {61, 61, 39, 29}}) {
    gf_DD_ScrFill(screen_, 0);
    DrawAtWorldScaled(20, 300, Box{176, 80, 64, 48}, pw, ph);
    EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_RED]), w * h);
    EXPECT_EQ(ScreenAt(20 + w - 1, 60 + h - 1), sheet_colour::CELL[CELL_RED]);
  }
}

}  // namespace
