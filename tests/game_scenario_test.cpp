// Whole games on the scripted machine from the boot frame: the test pilot plays, the scenes, the
// score, the hi-score and the music are checked on the way, and the input is kept for a replay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "input/replay.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"
#include "support/autopilot.h"

namespace {

// The song playing now, or "" when none is.
std::string Music() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }

std::string MissionSong(int32_t mission) {
  const int32_t track = mission == BOSS_MISSION ? 5 : mission % 3 + 2;
  return "MD0" + std::to_string(track) + "t.mid";
}

class GameScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    FakeDisplayReset();
    FakeAudioReset();
    FakeMidiResetAll();
    SoundReady = false;
    ASSERT_EQ(CreateMainWindow(), 1);
    InputState = {};
    ClockChanges = 0;
    ResetSystem();
  }
  void TearDown() override {
    if (ReplayIsRecording()) ReplayFinish(nullptr);  // a stopped test leaves no recorder on
    HoldPadBits(0);
    RequestShutdown();
    SystemFrame();
  }
  // One frame as the message loop runs it, with these bits held.
  void Frame(uint32_t bits) {
    HoldPadBits(bits);
    ++ClockChanges;
    SystemFrame();
    ++frames_;
  }
  int64_t frames_ = 0;
};

// What a run went through, checked as each scene is entered.
struct Progress {
  int32_t won = 0;
  int32_t lost = 0;
  int32_t scoreAtBattleEnd = 0;
  int32_t hiScoreBefore = 0;
  int32_t scoreAtGameOver = 0;
};

}  // namespace

// From a fresh boot the pilot clears the ten missions, the boss included, sees the ending and
// clears mission 1 one level up; then it stops ramming and loses the next mission on time. Every
// step of the way the scene order, the mission's song, the score and the hi-score follow the rules.
TEST_F(GameScenario, PilotWinsAPassLosesOneLevelUpAndTheHiScoreFollows) {
  ASSERT_TRUE(ReplayStartRecording("game_scenario.zzr", 0));
  Frame(0);  // the services
  Frame(0);  // the boot
  ASSERT_EQ(SceneId, SCENE_LOGO);
  ASSERT_EQ(HiScore, 2000);
  Progress p;
  int32_t scene = SceneId;
  while (frames_ < 80000 && !(p.lost == 1 && SceneId == SCENE_TITLE)) {
    const int32_t before = scene, mission = MissionIndex;
    const bool playing = p.won <= MISSION_COUNT;  // the pass and mission 1 one level up
    Frame(playing ? AutopilotInput() : LosingPilotInput());
    if (SceneId == before) continue;
    scene = SceneId;
    switch (scene) {
      case SCENE_BATTLE:
        EXPECT_TRUE(before == SCENE_BRIEFING || before == SCENE_RESULT || before == SCENE_ENDING)
            << before;
        EXPECT_EQ(MissionIndex, p.won % MISSION_COUNT);
        EXPECT_EQ(Level, p.won / MISSION_COUNT);
        EXPECT_EQ(Music(), MissionSong(MissionIndex));
        EXPECT_GE(Score, p.scoreAtBattleEnd);  // the result's bonus is kept
        break;
      case SCENE_RESULT:
        if (mission == BOSS_MISSION) {
          EXPECT_EQ(BossState.energy, 0);
        } else {
          EXPECT_EQ(ObjectsLeft, 0);
        }
        EXPECT_GT(Score, p.scoreAtBattleEnd);  // rams and kills score
        EXPECT_EQ(Music(), "");
        p.scoreAtBattleEnd = Score;
        ++p.won;
        break;
      case SCENE_ENDING:
        EXPECT_EQ(before, SCENE_RESULT);
        EXPECT_EQ(p.won, MISSION_COUNT);
        EXPECT_EQ(HiScore, 2000);  // a finished pass is no game over
        break;
      case SCENE_GAMEOVER:
        EXPECT_EQ(mission, p.won % MISSION_COUNT);
        EXPECT_EQ(TimeLeft, 0);
        EXPECT_EQ(Music(), "");
        p.scoreAtGameOver = Score;
        p.hiScoreBefore = HiScore;
        ++p.lost;
        break;
      case SCENE_TITLE:
        if (before == SCENE_GAMEOVER) {
          EXPECT_EQ(HiScore, p.scoreAtGameOver);
        }
        break;
      default:
        break;
    }
  }
  std::string error;
  ASSERT_TRUE(ReplayFinish(&error)) << error;
  std::printf("pilot: %d missions won, score %d, %lld frames\n", p.won, p.scoreAtGameOver,
              static_cast<long long>(frames_));
  EXPECT_EQ(p.won, MISSION_COUNT + 1);
  EXPECT_EQ(p.lost, 1);
  EXPECT_GT(p.scoreAtGameOver, 2000);  // enough to beat the starting record
  EXPECT_EQ(p.hiScoreBefore, 2000);    // not raised before the game-over scene is left
  EXPECT_EQ(SceneId, SCENE_TITLE);

  // The replay process test plays the kept input through the real program and compares.
  std::FILE* out = std::fopen("game_scenario.expected", "w");
  ASSERT_NE(out, nullptr);
  std::fprintf(out, "%lld\n%s\n", static_cast<long long>(frames_), ChecksumLine().c_str());
  std::fclose(out);
}

// A pilot that never rams loses the first mission on time; a score below the record leaves it.
TEST_F(GameScenario, LosingOnTimeKeepsTheHiScore) {
  Frame(0);
  Frame(0);
  int32_t battleFrames = 0;
  while (SceneId != SCENE_GAMEOVER && frames_ < 20000) {
    const bool inBattle = SceneId == SCENE_BATTLE;
    Frame(LosingPilotInput());
    battleFrames += inBattle;
  }
  ASSERT_EQ(SceneId, SCENE_GAMEOVER);
  EXPECT_EQ(MissionIndex, 0);
  EXPECT_EQ(TimeLeft, 0);
  EXPECT_EQ(MissionFailed, 1);
  EXPECT_EQ(battleFrames, 5000);  // lost in the frame that brings the time to 0
  EXPECT_LT(Score, 2000);
  while (SceneId == SCENE_GAMEOVER && frames_ < 30000) Frame(LosingPilotInput());
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(HiScore, 2000);
}
