// Whole missions on the scripted machine: one won with steering input, one lost by time.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "battle_fixture.h"

namespace {

class ScenarioTest : public BattleTest {
 protected:
  // Enters the mission as a scene does: the leaving scene counts once more after the change.
  void Start(int32_t mission) {
    MissionIndex = mission - 1;
    ChangeScene(SCENE_BATTLE);
    SceneTimer += 1;
  }
};

// Aims at the first object left, with the face that hits its colour hardest, at a modest speed.
uint32_t Pilot(uint32_t frame) {
  int32_t target = 0;
  while (target < CELL_COUNT && CellTypes[target] > CELL_BLUE) ++target;
  if (target == CELL_COUNT) return 0;
  const double tx = 64 * (target % 5) + 32, ty = 48 * (target / 5) + 24;
  const double aim = std::atan2(ty - PlayerGlobe.y, tx - PlayerGlobe.x) * 128 / M_PI;
  const int32_t diff =
      ((static_cast<int32_t>(std::lround(aim)) - PlayerGlobe.heading + 128) & 255) - 128;
  uint32_t bits = 0;
  if (diff > 4) bits |= INPUT_RIGHT;
  if (diff < -4) bits |= INPUT_LEFT;
  if (PlayerGlobe.speed < 4.0f) bits |= INPUT_UP;
  const int32_t face = CellTypes[target] == CELL_BLUE ? MODE_TERA : MODE_SUN;
  if (PlayerGlobe.mode != face && frame % 2 == 0) bits |= INPUT_BUTTON2;
  return bits;
}

TEST_F(ScenarioTest, MissionOneIsWonByRammingEveryObject) {
  Start(1);
  int32_t rams = 0;
  uint32_t frame = 0;
  for (; frame < 5000 && SceneId == SCENE_BATTLE; ++frame) {
    int32_t hp[CELL_COUNT];
    std::copy(CellHp, CellHp + CELL_COUNT, hp);
    Hold(Pilot(frame));
    BattleFrame();
    for (int32_t i = 0; i < CELL_COUNT; ++i) rams += CellHp[i] != hp[i];
  }
  ASSERT_EQ(SceneId, SCENE_RESULT) << "not won in " << frame << " frames";
  EXPECT_EQ(std::tuple(MissionCleared, MissionFailed, ObjectsLeft, TimeLeft),
            std::tuple(1, 0, 0, 5000 - static_cast<int32_t>(frame)));
  EXPECT_GE(PlayerGlobe.energy, 0);
  // One point per ram, ten per broken red or blue object.
  EXPECT_GT(rams, 4);
  EXPECT_EQ(Score, rams + 4 * 10);
  for (int32_t i : {6, 8, 11, 13}) {
    EXPECT_EQ(CellTypes[i], CELL_EMPTY);
    EXPECT_EQ(SheetAt(1 + 4 * (i % 5), 209 + 3 * (i / 5)), 10);
  }
}

// Without input the globe only bumps between a rock and the bottom edge until time runs out.
TEST_F(ScenarioTest, MissionTwoIsLostWhenTimeRunsOut) {
  Start(2);
  for (int32_t frame = 1; frame < 5000; ++frame) {
    BattleFrame();
    ASSERT_EQ(SceneId, SCENE_BATTLE) << frame;
  }
  EXPECT_EQ(TimeLeft, 1);
  EXPECT_LT(PlayerGlobe.energy, 999);  // the rock at least once
  BattleFrame();
  EXPECT_EQ(std::tuple(MissionFailed, SceneId, BattleOver), std::tuple(1, SCENE_GAMEOVER, 1));
}

}  // namespace
