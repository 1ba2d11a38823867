// Mission setup: the table, objects and their hit points, globe and boss, radar, music and sound.
#include "battle_fixture.h"

namespace {

// The generator as documented, kept apart from the game's so the expectations stand alone.
struct Lcg {
  uint32_t seed;
  int32_t Next() { return static_cast<int32_t>(seed = seed * 5 + 1); }
};

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
  EXPECT_EQ(count[CELL_RED], m.red);
  EXPECT_EQ(count[CELL_GREEN], m.green);
  EXPECT_EQ(count[CELL_BLUE], m.blue);
  EXPECT_EQ(count[CELL_ROCK], m.rocks);
  EXPECT_EQ(ObjectsLeft, m.red + m.green + m.blue);
  EXPECT_EQ(CellTypes[5 * (m.startY / 48) + m.startX / 64], CELL_EMPTY);
  EXPECT_EQ(SheetAt(0, 208), 24);
  EXPECT_EQ(SheetAt(21, 239), 24);
  EXPECT_EQ(SheetAt(20, 209 + 30 - 1), 10);  // the inside's unused last column

  EXPECT_EQ(PlayerGlobe.x, m.startX + 32);
  EXPECT_EQ(PlayerGlobe.y, m.startY + 24);
  EXPECT_EQ(PlayerGlobe.heading, 192);
  EXPECT_EQ(PlayerGlobe.speed, 1.0f);
  EXPECT_EQ(PlayerGlobe.energy, 999);
  EXPECT_EQ(PlayerGlobe.mode, MODE_SUN);
  EXPECT_EQ(BossState.x, 160);
  EXPECT_EQ(BossState.y, 160);
  EXPECT_EQ(BossState.heading, 64);
  EXPECT_EQ(BossState.speed, 0.0f);
  EXPECT_EQ(BossState.energy, 3200);
  EXPECT_EQ(TimeLeft, 5000);
  EXPECT_EQ(ScenePhase, 255);
  EXPECT_EQ(SceneTimer, 0u);
  EXPECT_EQ(Score, 77);
  EXPECT_EQ(TempoPercent.load(), 100);
  EXPECT_EQ(PlayedEffects(), std::vector<int32_t>{m.mission == 10 ? 8 : 4});
}

INSTANTIATE_TEST_SUITE_P(AllMissions, MissionSetup, testing::ValuesIn(kMissions));

// Hit points come after the star field's 160 draws, one draw per object in cell order.
TEST_F(BattleTest, HitPointsFollowTheRandomSequenceAndLevel) {
  for (int32_t level : {0, 1}) {
    for (int32_t mission : {1, 9}) {
      ResetGame();
      Lcg lcg{2};
      for (int32_t k = 0; k < 160; ++k) lcg.Next();
      Enter(mission, level);
      for (int32_t i = 0; i < CELL_COUNT; ++i) {
        const int32_t t = MissionTable[mission - 1].cells[i];
        if (t == CELL_RED || t == CELL_BLUE) {
          EXPECT_EQ(CellHp[i], (lcg.Next() & 7) + 80 * level + 48);
        } else if (t == CELL_GREEN) {
          EXPECT_EQ(CellHp[i], (lcg.Next() & 15) + 160 * level + 128);
        }
      }
      EXPECT_EQ(RandomSeed, lcg.seed);
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
