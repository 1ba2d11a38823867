// The globe against edges and cells, ram outcomes and explosions.
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

// Edges clamp, reflect and cost two; cell borders belong to both cells, and a rock sends the
// globe back for four; a rock and an edge together cost six.
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
                        Case{64, 100, 0, 5, {10}, 5, 100, 128, 995, {5}},
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
}

// Damage per ram is (trunc(speed) + 1) times the face's multiplier against the colour.
TEST_F(FieldTest, RamsDamageByFaceAndColourAndBreakBelowZero) {
  for (auto [mode, type, speed, damage] : {std::tuple{MODE_SUN, CELL_RED, 1.8f, 8},
                                           {MODE_TERA, CELL_GREEN, 5.9f, 6},
                                           {MODE_MOON, CELL_GREEN, 16.2f, 102}}) {
    CellTypes[12] = type;
    CellHp[12] = damage;  // left on 0, which it survives
    PlayerGlobe.mode = mode;
    PlayerGlobe.speed = speed;
    Score = 0;
    EXPECT_EQ(std::tuple(DamageCell(12, type), CellHp[12], CellTypes[12], Score),
              std::tuple(0, 0, type, 1));
  }
  // A ram on no hit points breaks the object: ten points (forty for green) on top of the ram,
  // the radar mark erased, ten blasts, and the mission won with the last object, except in the
  // boss mission.
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
}

// A full pool drops a blast without drawing its delay.
TEST_F(FieldTest, AFullExplosionPoolDropsTheNextBlast) {
  for (int32_t k = 0; k < EXPLOSION_COUNT; ++k) SpawnExplosion(k, 0);
  const uint32_t seed = RandomSeed;
  SpawnExplosion(99, 99);
  EXPECT_EQ(RandomSeed, seed);
  for (const Explosion& e : Explosions) EXPECT_NE(e.y, 99);
}

}  // namespace
