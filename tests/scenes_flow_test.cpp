// The road through the screens outside the battle: timers, phases, presses, sounds and music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame_cycle.h"
#include "battle/battle_state.h"
#include "core/play_options.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "scenes/ending.h"
#include "scenes/title_prologue.h"
#include "support/autopilot.h"
#include "support/played.h"

namespace {

using Effects = std::vector<int32_t>;

constexpr uint32_t NOT_A_BUTTON = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT | INPUT_ESCAPE;

// Whole frames on the scripted machine, from the boot on.
class SceneFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartScriptedGame());
    SystemFrame();  // the services
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << ErrorFlags;
    SystemFrame();     // the boot
    StopMusicTrack();  // the song an earlier test left behind
    PlayedEffects();
  }
  void TearDown() override { StopScriptedGame(); }
  // One frame of the current scene with these bits newly pressed, the pad left out.
  void Frame(uint32_t pressed = 0) {
    const int32_t scene = SceneId;
    InputState.pressed = pressed;
    for (int32_t i = 0; i < SceneTableRows; ++i)
      if (SceneTable[i].id == scene) return static_cast<void>(SceneTable[i].frame());
  }
  // Frames of the whole cycle until the scene changes; how many the scene ran.
  int32_t RunScene() {
    int32_t frames = 0;
    for (const int32_t scene = SceneId; SceneId == scene && frames < 6000; ++frames) SystemFrame();
    return frames;
  }
  // A won mission's result, its bonus counted in with a press on every frame that must not
  // move on; returns the count-up's frames.
  int32_t CountBonus(int32_t mission, int32_t energy, int32_t timeLeft) {
    MissionIndex = mission;
    ChangeScene(SCENE_BATTLE);
    PlayedEffects();
    PlayerGlobe.energy = energy;
    TimeLeft = timeLeft + 1;  // the winning frame still takes one off the clock
    MissionCleared = 1;
    Frame();
    while (ScenePhase == 0) Frame(INPUT_BUTTON1);
    int32_t frames = 0;
    for (; Score < ResultTarget; ++frames) Frame(Score + 4 < ResultTarget ? INPUT_BUTTON1 : 0);
    return frames;
  }
};

TEST_F(SceneFlow, BootSetsTheGameUpAndTheAttractCycleRunsWithoutInput) {
  EXPECT_EQ(std::tuple(SceneId, SceneTimer, HiScore, Score), std::tuple(SCENE_LOGO, 0u, 2000, 0));
  EXPECT_EQ(std::tuple(PrologueLines[28], EndingLines[27]), std::tuple(nullptr, nullptr));
  // Logo t = 0 .. 401 (the boot frame does not count), title 1 .. 801, prologue 1 .. 901, logo.
  for (auto [frames, onLeaving, musicAfter] : {std::tuple{402, Effects{1}, "MD00t.mid"},
                                               {801, {}, "MD01t.mid"},
                                               {901, {}, ""},
                                               {401, {1}, "MD00t.mid"}}) {
    EXPECT_EQ(RunScene(), frames);
    EXPECT_EQ(std::tuple(PlayedEffects(), SongPlaying(), SceneTimer),
              std::tuple(onLeaving, std::string(musicAfter), 1u));
  }
}

TEST_F(SceneFlow, AButtonHeldFromTheTitleDoesNotSkipTheBriefing) {
  Frame(INPUT_BUTTON1);
  ASSERT_EQ(SceneId, SCENE_TITLE);
  Score = 99, Level = 2, MissionIndex = 4;
  HoldPadBits(INPUT_BUTTON1);
  SystemFrame();
  ASSERT_EQ(SceneId, SCENE_BRIEFING);
  EXPECT_EQ(Score + Level + MissionIndex, 0);  // a new game
  EXPECT_EQ(RunScene(), 481);                  // t = 1 .. 481, the key still down
  EXPECT_EQ(SceneId, SCENE_BATTLE);
}

// Each scene leaves on the right press or time only, and its successor's entry restarts the
// timer and the tempo and starts its song. Leaving the game over keeps the better score; scenes
// 8 and 32 run without their entries (the timer is what another scene left).
TEST_F(SceneFlow, ScenesLeaveOnlyWhenTheyShould) {
  struct Case {
    int32_t scene, phase;  // phase < 0: as the entry left it
    uint32_t t, pressed;
    int32_t score, next;
    Effects effects;
    const char* music;
  };
  for (const Case& c :
       {Case{SCENE_LOGO, -1, 20, NOT_A_BUTTON, 0, SCENE_LOGO, {}, ""},
        Case{SCENE_LOGO, -1, 20, INPUT_BUTTON8, 0, SCENE_TITLE, {1}, "MD00t.mid"},
        Case{SCENE_PROLOGUE, -1, 900, INPUT_BUTTON1, 0, SCENE_TITLE, {1}, "MD00t.mid"},
        Case{SCENE_BRIEFING, -1, 10, INPUT_BUTTON3, 0, SCENE_BATTLE, {4}, "MD02t.mid"},
        Case{SCENE_GAMEOVER, 0, 64, INPUT_BUTTON1, 2001, SCENE_GAMEOVER, {}, ""},
        Case{SCENE_GAMEOVER, 1, 65, INPUT_BUTTON4, 2001, SCENE_TITLE, {1}, "MD00t.mid"},
        Case{SCENE_GAMEOVER, 1, 65, INPUT_BUTTON1, 1999, SCENE_TITLE, {1}, "MD00t.mid"},
        Case{SCENE_ENDING, -1, 801, INPUT_BUTTON1, 0, SCENE_ENDING, {}, "MD06t.mid"},
        Case{SCENE_ENDING, 1, 802, INPUT_BUTTON1, 0, SCENE_BATTLE, {1, 4}, "MD02t.mid"},
        Case{SCENE_TITLE_NO_ENTER, -1, 5000, 0, 0, SCENE_PROLOGUE, {}, "MD01t.mid"},
        Case{SCENE_BRIEFING_NO_ENTER, -1, 100000, 0, 40, SCENE_BATTLE, {4}, "MD02t.mid"}}) {
    MissionIndex = 0;
    ChangeScene(SCENE_BATTLE);  // the game over's backdrop
    StopMusicTrack();
    ChangeScene(c.scene);
    PlayedEffects();
    if (c.phase >= 0) ScenePhase = c.phase;
    SceneTimer = c.t;
    SetMusicTempo(130);
    Score = c.score, HiScore = 2000;
    Frame(c.pressed);
    const bool left = c.next != c.scene;
    const int32_t hiScore = c.scene == SCENE_GAMEOVER && left ? std::max(c.score, 2000) : 2000;
    EXPECT_EQ(
        std::tuple(SceneId, SceneTimer, PlayedEffects(), SongPlaying(), TempoPercent.load()),
        std::tuple(c.next, left ? 1u : c.t + 1, c.effects, std::string(c.music), left ? 100 : 130))
        << c.scene << " at t = " << c.t;
    EXPECT_EQ(std::tuple(Score, HiScore), std::tuple(c.score, hiScore)) << c.scene;
  }
}

TEST_F(SceneFlow, ResultCountsItsBonusInThenGoesToTheNextMissionOrTheEnding) {
  Score = 300;
  EXPECT_EQ(CountBonus(0, 950, 4000), 59);
  EXPECT_EQ(ResultTarget, 300 + 100 + 40 + 95);  // level, time and energy points, in tens
  const Effects effects = PlayedEffects();
  EXPECT_EQ(std::count(effects.begin(), effects.end(), 9), 29);  // even t of 34 .. 91
  for (uint32_t bits : {NOT_A_BUTTON, INPUT_BUTTON1, NOT_A_BUTTON, INPUT_BUTTON1}) Frame(bits);
  EXPECT_EQ(std::tuple(PlayedEffects(), SceneId, MissionIndex, Score, SceneTimer, SongPlaying()),
            std::tuple(Effects{1, 1, 4}, SCENE_BATTLE, 1, 535, 1u, std::string("MD03t.mid")));

  Score = 0;
  EXPECT_EQ(CountBonus(9, 500, 1234), (1162 + 3) / 4);  // the clear points too
  Frame(INPUT_BUTTON1);
  Frame();  // no press needed after the boss
  EXPECT_EQ(std::tuple(SceneId, MissionIndex, Level, SongPlaying()),
            std::tuple(SCENE_ENDING, 0, 1, std::string("MD06t.mid")));
}

// A mission entered from a result starts at 0.9: the globe stands until the player speeds it
// up. With the fix it starts at 1.0 and moves at once, as mission 1 does.
class MissionStartSpeed : public SceneFlow, public testing::WithParamInterface<bool> {
 protected:
  void TearDown() override {
    FixMissionStartSpeed = false;
    SceneFlow::TearDown();
  }
};

TEST_P(MissionStartSpeed, AfterAResultTheGlobeStandsUnlessTheFixIsOn) {
  FixMissionStartSpeed = GetParam();
  CountBonus(3, 950, 4000);
  Frame(INPUT_BUTTON1);  // the count is in
  Frame(INPUT_BUTTON1);  // on to mission 5
  ASSERT_EQ(std::tuple(SceneId, MissionIndex), std::tuple(SCENE_BATTLE, 4));
  EXPECT_EQ(PlayerGlobe.speed, GetParam() ? 1.0f : 0.9f);
  const int32_t x = PlayerGlobe.x, y = PlayerGlobe.y;
  InputState.pad.bits = 0;
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(PlayerGlobe.x == x && PlayerGlobe.y == y, !GetParam()) << "still without input";
  InputState.pad.bits = INPUT_UP;
  Frame();  // 0.9 + 0.2 passes 1: the globe starts to move
  EXPECT_EQ(PlayerGlobe.speed, (GetParam() ? 1.0f : 0.9f) + 0.2f);
  const int32_t movedX = PlayerGlobe.x, movedY = PlayerGlobe.y;
  Frame();
  EXPECT_NE(std::tuple(PlayerGlobe.x, PlayerGlobe.y), std::tuple(movedX, movedY));
}

INSTANTIATE_TEST_SUITE_P(FixOffAndOn, MissionStartSpeed, testing::Bool());

}  // namespace
