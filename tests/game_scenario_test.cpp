// Whole games on the scripted machine from the boot frame: one the test pilot plays with the
// scenes, score, hi-score and music checked on the way and its input kept for a replay, and a
// long soak of attract cycles, piloted games and mashing with invariants and the heap watched.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>

#include "app/frame_cycle.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "input/replay.h"
#include "platform/fake/fake_platform.h"
#include "support/autopilot.h"
#include "support/played.h"

namespace {

// By the end of the warm-up every scene and buffer has been used once.
constexpr int32_t SOAK_FRAMES = 200000, WARM_UP_FRAMES = 20000;

bool Healthy() {
  bool sceneKnown = false;
  for (int32_t i = 0; i < SceneTableRows; ++i) sceneKnown |= SceneTable[i].id == SceneId;
  return sceneKnown && PlayerGlobe.x >= 0 && PlayerGlobe.x < FIELD_WIDTH && PlayerGlobe.y >= 0 &&
         PlayerGlobe.y < FIELD_HEIGHT && PlayerGlobe.energy >= 0 && MissionIndex >= 0 &&
         MissionIndex < MISSION_COUNT;
}

// A stopped run leaves no recorder on and the program shut down.
class GameScenario : public ::testing::Test {
 protected:
  void TearDown() override { StopScriptedGame(); }
};

// Bytes the program holds on the heap.
size_t HeapInUse() {
#ifdef _WIN32
  _HEAPINFO block{};
  size_t used = 0;
  while (_heapwalk(&block) == _HEAPOK) {
    if (block._useflag == _USEDENTRY) used += block._size;
  }
  return used;
#else
  return mallinfo2().uordblks;
#endif
}

}  // namespace

TEST_F(GameScenario, LongSoakKeepsTheInvariantsAndTheHeapFlat) {
  ASSERT_TRUE(StartScriptedGame());
  size_t heapBefore = 0;
  int32_t battles = 0;
  for (int32_t frame = 0, lastScene = -1; frame < SOAK_FRAMES; ++frame) {
    if (frame == WARM_UP_FRAMES) heapBefore = HeapInUse();
    PlayFrame(SoakInput(frame));
    FakeClearSoundCalls();  // the scripted devices' logs are not the game's memory
    FakeMidiClearMessages();
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << "frame " << frame << " errors " << ErrorFlags;
    ASSERT_TRUE(Healthy()) << "frame " << frame << ": scene " << SceneId << " globe ("
                           << PlayerGlobe.x << ", " << PlayerGlobe.y << ") energy "
                           << PlayerGlobe.energy << " mission " << MissionIndex;
    battles += SceneId != lastScene && SceneId == SCENE_BATTLE;
    lastScene = SceneId;
  }
  const size_t heapAfter = HeapInUse();
  std::printf("soak: %d missions started; heap %zu -> %zu bytes\n", battles, heapBefore, heapAfter);
  EXPECT_GT(battles, 20);  // the pilot and the mashing really played
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // A sanitizer's own allocator keeps freed memory in quarantine, so growth is only read here.
  EXPECT_LE(heapAfter, heapBefore + 64 * 1024);
#endif
}

// From a fresh boot the pilot clears the ten missions, the boss included, sees the ending and
// clears mission 1 one level up; then it stops ramming and loses the next mission on time. Every
// step of the way the scene order, the mission's song, the score and the hi-score follow the rules.
TEST_F(GameScenario, PilotWinsAPassLosesOneLevelUpAndTheHiScoreFollows) {
  ASSERT_TRUE(StartScriptedGame());
  ASSERT_TRUE(ReplayStartRecording("game_scenario.zzr", 0));
  PlayFrame(0);  // the services
  PlayFrame(0);  // the boot
  ASSERT_EQ(std::tuple(SceneId, HiScore), std::tuple(SCENE_LOGO, 2000));
  int32_t won = 0, lost = 0, scoreAtBattleEnd = 0, hiScoreBefore = 0, scoreAtGameOver = 0;
  int64_t frames = 2;
  for (int32_t scene = SceneId; frames < 80000 && !(lost == 1 && SceneId == SCENE_TITLE);) {
    const int32_t before = scene, mission = MissionIndex;
    PlayFrame(won <= MISSION_COUNT ? AutopilotInput() : LosingPilotInput());
    ++frames;
    if (SceneId == before) continue;
    switch (scene = SceneId) {
      case SCENE_BATTLE:
        EXPECT_TRUE(before == SCENE_BRIEFING || before == SCENE_RESULT || before == SCENE_ENDING)
            << before;
        EXPECT_EQ(MissionIndex, won % MISSION_COUNT);
        EXPECT_EQ(Level, won / MISSION_COUNT);
        EXPECT_EQ(SongPlaying(),
                  "MD0" + std::to_string(MissionIndex == BOSS_MISSION ? 5 : MissionIndex % 3 + 2) +
                      "t.mid");
        EXPECT_GE(Score, scoreAtBattleEnd);  // the result's bonus is kept
        break;
      case SCENE_RESULT:
        EXPECT_EQ(mission == BOSS_MISSION ? BossState.energy : ObjectsLeft, 0);
        EXPECT_GT(Score, scoreAtBattleEnd);  // rams and kills score
        EXPECT_EQ(SongPlaying(), "");
        scoreAtBattleEnd = Score;
        ++won;
        break;
      case SCENE_ENDING:
        EXPECT_EQ(std::tuple(before, won, HiScore), std::tuple(SCENE_RESULT, MISSION_COUNT, 2000))
            << "a finished pass is no game over";
        break;
      case SCENE_GAMEOVER:
        EXPECT_EQ(std::tuple(mission, TimeLeft, SongPlaying()),
                  std::tuple(won % MISSION_COUNT, 0, std::string()));
        scoreAtGameOver = Score;
        hiScoreBefore = HiScore;
        ++lost;
        break;
      case SCENE_TITLE:
        EXPECT_TRUE(before != SCENE_GAMEOVER || HiScore == scoreAtGameOver) << HiScore;
        break;
      default:
        break;
    }
  }
  std::string error;
  ASSERT_TRUE(ReplayFinish(&error)) << error;
  std::printf("pilot: %d missions won, score %d, %lld frames\n", won, scoreAtGameOver,
              static_cast<long long>(frames));
  EXPECT_EQ(std::tuple(won, lost, SceneId), std::tuple(MISSION_COUNT + 1, 1, SCENE_TITLE));
  EXPECT_GT(scoreAtGameOver, 2000);  // enough to beat the starting record
  EXPECT_EQ(hiScoreBefore, 2000);    // not raised before the game-over scene is left

  // The replay process test plays the kept input through the real program and compares.
  std::FILE* out = std::fopen("game_scenario.expected", "w");
  ASSERT_NE(out, nullptr);
  std::fprintf(out, "%lld\n%s\n", static_cast<long long>(frames), ChecksumLine().c_str());
  std::fclose(out);
}
