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
  struct Case {
    int32_t x, y, heading, fromX;
    Effects rocks;
    int32_t wantX, wantY, wantHeading, energy;
    Effects sounds;
  };
  for (const Case& c : {Case{-3, 200, 140, -3, {}, 0, 200, 244, 997, {3}},
                        Case{100, 480, 70, 100, {}, 100, 479, 186, 997, {3}},
                        Case{-1, -1, 160, -1, {}, 0, 0, 32, 997, {3}},
                        Case{319, 479, 5, 319, {}, 319, 479, 5, 999, {}},
                        Case{64, 96, 0, 5, {11, 6, 10}, 5, 96, 128, 995, {5}},
                        Case{127, 47, 0, 5, {7}, 127, 47, 0, 999, {}},
                        Case{319, 479, 0, 5, {49}, 5, 479, 128, 995, {5}}}) {
    ClearField();
    for (int32_t i : c.rocks) CellTypes[i] = CELL_ROCK;
    Place(c.x, c.y, c.heading, c.fromX);
    EXPECT_EQ(CollideGlobe(), c.rocks.empty() && c.energy < 999 ? 1 : 0);
    EXPECT_EQ(std::tuple(PlayerGlobe.x, PlayerGlobe.y, PlayerGlobe.heading, PlayerGlobe.energy,
                         PlayedEffects()),
              std::tuple(c.wantX, c.wantY, c.wantHeading, c.energy, c.sounds))
        << c.x << "," << c.y;
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

// Shrunk blits take trunc(size * (0.01f * percent)) in double products, at the camera's offset.
TEST_F(FieldTest, WorldBlitsFollowTheCameraAndShrinkInDoubleProducts) {
  PlayerGlobe.y = 456;  // camera 240
  DrawAtWorldScaled(20, 300, Box{176, 80, 64, 48}, 61, 61);
  EXPECT_EQ(CountColour(Box{0, 0, 320, 240}, sheet_colour::CELL[CELL_RED]), 39 * 29);
  EXPECT_EQ(ScreenAt(20 + 39 - 1, 60 + 29 - 1), sheet_colour::CELL[CELL_RED]);
}

}  // namespace
