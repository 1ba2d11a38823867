// A whole game on the scripted machine from the boot frame: the test pilot plays, the scenes, the
// score, the hi-score and the music are checked on the way, and the input is kept for a replay.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>

#include "app/frame_cycle.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "input/replay.h"
#include "music/music_player.h"
#include "support/autopilot.h"

namespace {

// The song playing now, or "" when none is.
std::string Music() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }

std::string MissionSong(int32_t mission) {
  return "MD0" + std::to_string(mission == BOSS_MISSION ? 5 : mission % 3 + 2) + "t.mid";
}

// A stopped run leaves no recorder on.
class GameScenario : public ::testing::Test {
 protected:
  void TearDown() override { StopScriptedGame(); }
};

}  // namespace

// From a fresh boot the pilot clears the ten missions, the boss included, sees the ending and
// clears mission 1 one level up; then it stops ramming and loses the next mission on time. Every
// step of the way the scene order, the mission's song, the score and the hi-score follow the rules.
TEST_F(GameScenario, PilotWinsAPassLosesOneLevelUpAndTheHiScoreFollows) {
  ASSERT_TRUE(StartScriptedGame());
  ASSERT_TRUE(ReplayStartRecording("game_scenario.zzr", 0));
  PlayFrame(0);  // the services
  PlayFrame(0);  // the boot
  ASSERT_EQ(SceneId, SCENE_LOGO);
  ASSERT_EQ(HiScore, 2000);
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
        EXPECT_EQ(Music(), MissionSong(MissionIndex));
        EXPECT_GE(Score, scoreAtBattleEnd);  // the result's bonus is kept
        break;
      case SCENE_RESULT:
        EXPECT_EQ(mission == BOSS_MISSION ? BossState.energy : ObjectsLeft, 0);
        EXPECT_GT(Score, scoreAtBattleEnd);  // rams and kills score
        EXPECT_EQ(Music(), "");
        scoreAtBattleEnd = Score;
        ++won;
        break;
      case SCENE_ENDING:
        EXPECT_EQ(std::tuple(before, won, HiScore), std::tuple(SCENE_RESULT, MISSION_COUNT, 2000))
            << "a finished pass is no game over";
        break;
      case SCENE_GAMEOVER:
        EXPECT_EQ(std::tuple(mission, TimeLeft, Music()),
                  std::tuple(won % MISSION_COUNT, 0, std::string()));
        scoreAtGameOver = Score;
        hiScoreBefore = HiScore;
        ++lost;
        break;
      case SCENE_TITLE:
        if (before == SCENE_GAMEOVER) {
          EXPECT_EQ(HiScore, scoreAtGameOver);
        }
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
