// Mission setup: the table, objects and their hit points, globe and boss, radar, music and sound.
#include <tuple>

#include "battle_fixture.h"

namespace {

struct MissionCase {
  int32_t mission;
  const char* name;
  int32_t startX, startY;
  int32_t red, green, blue, rocks;
};

const MissionCase kMissions[] = {
    {1, "RED OR BLUE", 128, 432, 2, 0, 2, 0},      {2, "THE GRAY OBJECT", 128, 384, 2, 0, 2, 6},
    {3, "ENCOUNT GREEN", 128, 384, 0, 4, 0, 10},   {4, "ASTEROID OF CAOS", 128, 384, 4, 4, 4, 6},
    {5, "LABYRINTH", 128, 216, 3, 2, 3, 16},       {6, "DEAD LINE", 128, 432, 6, 6, 6, 9},
    {7, "ENEMY BASE", 0, 432, 0, 4, 0, 18},        {8, "POINT TO POINT", 128, 288, 4, 4, 4, 10},
    {9, "DEAD OR ALIVE", 128, 240, 12, 16, 16, 0}, {10, "MOTHER OF DURUZ", 128, 240, 0, 0, 0, 4},
};

class MissionSetup : public BattleTest, public testing::WithParamInterface<MissionCase> {};

TEST_P(MissionSetup, BuildsFieldGlobeBossAndRadar) {
  const MissionCase& m = GetParam();
  Score = 77;
  Enter(m.mission);
  EXPECT_STREQ(MissionNames[m.mission - 1], m.name);
  int32_t count[5] = {};
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    ++count[CellTypes[i]];
    // Mini-map: a white 3x2 mark for anything solid, black (10) for an empty cell.
    const uint8_t mark = CellTypes[i] == CELL_EMPTY ? 10 : 255;
    for (int32_t k = 0; k < 6; ++k)
      EXPECT_EQ(SheetAt(1 + 4 * (i % 5) + k % 3, 209 + 3 * (i / 5) + k / 3), mark) << i;
  }
  EXPECT_EQ(std::tuple(count[CELL_RED], count[CELL_GREEN], count[CELL_BLUE], count[CELL_ROCK]),
            std::tuple(m.red, m.green, m.blue, m.rocks));
  EXPECT_EQ(ObjectsLeft, m.red + m.green + m.blue);
  EXPECT_EQ(CellTypes[5 * (m.startY / 48) + m.startX / 64], CELL_EMPTY);
  EXPECT_EQ(std::tuple(SheetAt(0, 208), SheetAt(21, 239)), std::tuple(24, 24));
  EXPECT_EQ(SheetAt(20, 209 + 30 - 1), 10);  // the inside's unused last column
  const GlobeRecord& g = PlayerGlobe;
  EXPECT_EQ(std::tuple(g.x, g.y, g.heading, g.speed, g.energy, g.mode),
            std::tuple(m.startX + 32, m.startY + 24, 192, 1.0f, 999, MODE_SUN));
  const BossRecord& b = BossState;
  EXPECT_EQ(std::tuple(b.x, b.y, b.heading, b.speed, b.energy),
            std::tuple(160, 160, 64, 0.0f, 3200));
  EXPECT_EQ(std::tuple(TimeLeft, ScenePhase, SceneTimer, Score, TempoPercent.load()),
            std::tuple(5000, 255, 0u, 77, 100));
  EXPECT_EQ(PlayedEffects(), std::vector<int32_t>{m.mission == 10 ? 8 : 4});
}

INSTANTIATE_TEST_SUITE_P(AllMissions, MissionSetup, testing::ValuesIn(kMissions));

// Hit points come after the star field's 160 draws, one draw per object in cell order.
TEST_F(BattleTest, HitPointsFollowTheRandomSequenceAndLevel) {
  for (int32_t level : {0, 1}) {
    for (int32_t mission : {1, 9}) {
      ResetGame();
      uint32_t seed = 2;
      for (int32_t k = 0; k < 160; ++k) NextOf(&seed);
      Enter(mission, level);
      for (int32_t i = 0; i < CELL_COUNT; ++i) {
        const int32_t t = MissionTable[mission - 1].cells[i];
        if (t == CELL_RED || t == CELL_BLUE) {
          EXPECT_EQ(CellHp[i], (NextOf(&seed) & 7) + 80 * level + 48);
        } else if (t == CELL_GREEN) {
          EXPECT_EQ(CellHp[i], (NextOf(&seed) & 15) + 160 * level + 128);
        }
      }
      EXPECT_EQ(RandomSeed, seed);
    }
    EXPECT_EQ(BossState.energy, 3200 + 1000 * level);
  }
}

TEST_F(BattleTest, EnterBattleStopsEveryExplosion) {
  for (int32_t k = 0; k < 40; ++k) SpawnExplosion(k, k);
  Enter(1);
  for (const Explosion& e : Explosions) EXPECT_EQ(e.active, 0);
}

}  // namespace
