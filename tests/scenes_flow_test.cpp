// The road through the screens outside the battle: timers, phases, presses, sounds and music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "battle/star_field.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "scenes/boot_logo.h"
#include "scenes/briefing.h"
#include "scenes/ending.h"
#include "scenes/game_over.h"
#include "scenes/result.h"
#include "scenes/title_prologue.h"
#include "sound/sound_bank.h"

namespace {

using Effects = std::vector<int32_t>;

// The effect numbers played since the last call, read from the audio device's record.
Effects TakeEffects() {
  Effects played;
  for (const FakeSoundCall& call : FakeSoundCalls())
    for (int32_t n = 0; n < SOUND_EFFECT_COUNT; ++n)
      for (int32_t v = 0; v < SoundBank[n].count; ++v)
        if (call.op == FSOUND_PLAY && SoundBank[n].voices[v] == call.buffer) played.push_back(n);
  FakeClearSoundCalls();
  return played;
}

// The song playing now, or "" when none is.
std::string Music() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }

// Whole frames on the scripted machine, from the boot on.
class SceneFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    FakeDisplayReset();
    FakeAudioReset();
    FakeMidiResetAll();
    SoundReady = false;  // a released bank stays marked ready; each test opens its own
    ASSERT_EQ(CreateMainWindow(), 1);
    InputState = {};
    ResetSystem();
    SystemFrame();  // the services
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << ErrorFlags;
    SystemFrame();     // the boot
    StopMusicTrack();  // the song an earlier test left behind
    TakeEffects();
  }
  void TearDown() override {
    FakeSetKeyHeld('Z', false);
    RequestShutdown();
    SystemFrame();
  }
  // One frame with these bits newly pressed, the pad left out.
  void Frame(uint32_t pressed = 0) {
    const int32_t scene = SceneId;
    InputState.pressed = pressed;
    for (int32_t i = 0; i < SceneTableRows; ++i)
      if (SceneTable[i].id == scene) {
        SceneTable[i].frame();
        break;
      }
  }
  // Frames of the whole cycle until the scene changes; how many the scene ran.
  int32_t RunScene() {
    const int32_t scene = SceneId;
    int32_t frames = 0;
    for (; SceneId == scene && frames < 6000; ++frames) SystemFrame();
    return frames;
  }
  void StartMission(int32_t mission) {
    MissionIndex = mission;
    ChangeScene(SCENE_BATTLE);
    TakeEffects();
  }
  // Runs the result until its bonus is counted in, pressing a button on every frame that must
  // not move on; returns the count-up's frames.
  int32_t CountBonus(Effects* effects) {
    while (ScenePhase == 0) Frame(INPUT_BUTTON1);
    int32_t frames = 0;
    for (; Score < ResultTarget; ++frames) Frame(Score + 4 < ResultTarget ? INPUT_BUTTON1 : 0);
    *effects = TakeEffects();
    return frames;
  }
};

TEST_F(SceneFlow, BootSetsTheGameUpAndTheAttractCycleRunsWithoutInput) {
  // The boot frame does not count.
  EXPECT_EQ(std::tuple(SceneId, SceneTimer, HiScore, Score), std::tuple(SCENE_LOGO, 0u, 2000, 0));
  EXPECT_NE(SheetSurface, nullptr);
  EXPECT_GT(SoundBank[1].count, 0);
  // Logo t = 0 .. 401, title 1 .. 801, prologue 1 .. 901, logo again 1 .. 401, title.
  for (auto [frames, onLeaving, musicAfter] : {std::tuple{402, Effects{1}, "MD00t.mid"},
                                               {801, {}, "MD01t.mid"},
                                               {901, {}, ""},
                                               {401, {1}, "MD00t.mid"},
                                               {801, {}, "MD01t.mid"}}) {
    EXPECT_EQ(RunScene(), frames);
    EXPECT_EQ(std::tuple(TakeEffects(), Music(), SceneTimer),
              std::tuple(onLeaving, std::string(musicAfter), 1u));
  }
}

TEST_F(SceneFlow, AButtonHeldFromTheTitleDoesNotSkipTheBriefing) {
  Frame(INPUT_BUTTON1);
  ASSERT_EQ(SceneId, SCENE_TITLE);
  TakeEffects();
  Score = 99, Level = 2, MissionIndex = 4;
  FakeSetKeyHeld('Z', true);
  SystemFrame();
  ASSERT_EQ(SceneId, SCENE_BRIEFING);
  EXPECT_EQ(Score + Level + MissionIndex, 0);
  EXPECT_EQ(RunScene(), 481);  // t = 1 .. 481, the key still down
  EXPECT_EQ(std::tuple(SceneTimer, ScenePhase, Music(), TakeEffects()),
            std::tuple(1u, 255, std::string("MD02t.mid"), Effects{1, 4}));
}

TEST_F(SceneFlow, EntryRestartsTheTimerAndTempoAndStartsItsSong) {
  for (auto [scene, resetsPhase, music] : {std::tuple{SCENE_LOGO, true, ""},
                                           {SCENE_TITLE, false, "MD00t.mid"},
                                           {SCENE_PROLOGUE, true, "MD01t.mid"},
                                           {SCENE_BRIEFING, false, ""},
                                           {SCENE_RESULT, true, ""},
                                           {SCENE_GAMEOVER, true, ""},
                                           {SCENE_ENDING, true, "MD06t.mid"}}) {
    StartMission(0);
    StopMusicTrack();
    SetMusicTempo(130);
    SceneTimer = 77;
    ScenePhase = 9;
    ChangeScene(scene);
    EXPECT_EQ(std::tuple(SceneTimer, ScenePhase, TempoPercent.load(), Music()),
              std::tuple(0u, resetsPhase ? 0 : 9, 100, std::string(music)))
        << scene;
  }
}

struct StepCase {
  int32_t scene, phase;  // phase < 0: as the entry left it
  uint32_t t, pressed;
  int32_t next;
  Effects effects;
  const char* music;
};

class Step : public SceneFlow, public ::testing::WithParamInterface<StepCase> {};

TEST_P(Step, LeavesOnlyWhenItShould) {
  const StepCase c = GetParam();
  if (c.scene == SCENE_GAMEOVER) {
    StartMission(0);
    StopMusicTrack();
  }
  ChangeScene(c.scene);
  TakeEffects();
  if (c.phase >= 0) ScenePhase = c.phase;
  SceneTimer = c.t;
  Frame(c.pressed);
  EXPECT_EQ(std::tuple(SceneId, SceneTimer, TakeEffects(), Music()),
            std::tuple(c.next, c.next == c.scene ? c.t + 1 : 1u, c.effects, std::string(c.music)));
}

constexpr uint32_t NOT_A_BUTTON = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT | INPUT_ESCAPE;

INSTANTIATE_TEST_SUITE_P(
    Scenes, Step,
    ::testing::Values(
        StepCase{SCENE_LOGO, -1, 20, NOT_A_BUTTON, SCENE_LOGO, {}, ""},
        StepCase{SCENE_LOGO, -1, 20, INPUT_BUTTON8, SCENE_TITLE, {1}, "MD00t.mid"},
        StepCase{SCENE_TITLE, -1, 800, NOT_A_BUTTON, SCENE_TITLE, {}, "MD00t.mid"},
        StepCase{SCENE_TITLE, -1, 801, INPUT_BUTTON2, SCENE_BRIEFING, {1}, ""},
        StepCase{SCENE_PROLOGUE, -1, 901, INPUT_BUTTON1, SCENE_LOGO, {}, ""},
        StepCase{SCENE_PROLOGUE, -1, 900, INPUT_BUTTON1, SCENE_TITLE, {1}, "MD00t.mid"},
        StepCase{SCENE_BRIEFING, -1, 480, NOT_A_BUTTON, SCENE_BRIEFING, {}, ""},
        StepCase{SCENE_BRIEFING, -1, 10, INPUT_BUTTON3, SCENE_BATTLE, {4}, "MD02t.mid"},
        StepCase{SCENE_GAMEOVER, 0, 64, INPUT_BUTTON1, SCENE_GAMEOVER, {}, ""},
        StepCase{SCENE_GAMEOVER, 1, 65, NOT_A_BUTTON, SCENE_GAMEOVER, {}, ""},
        StepCase{SCENE_GAMEOVER, 1, 65, INPUT_BUTTON4, SCENE_TITLE, {1}, "MD00t.mid"},
        StepCase{SCENE_ENDING, -1, 801, INPUT_BUTTON1, SCENE_ENDING, {}, "MD06t.mid"},
        StepCase{SCENE_ENDING, 1, 802, INPUT_BUTTON1, SCENE_BATTLE, {1, 4}, "MD02t.mid"}));

TEST_F(SceneFlow, PhasesTurnOnTheFramesTheyShould) {
  StartMission(0);
  for (auto [scene, t, phase] : {std::tuple{SCENE_LOGO, 127u, 0},
                                 {SCENE_LOGO, 128u, 1},
                                 {SCENE_GAMEOVER, 63u, 0},
                                 {SCENE_GAMEOVER, 64u, 1},
                                 {SCENE_ENDING, 800u, 0},
                                 {SCENE_ENDING, 801u, 1},
                                 {SCENE_RESULT, 32u, 0},
                                 {SCENE_RESULT, 33u, 1}}) {
    ChangeScene(scene);
    SceneTimer = t;
    Frame();
    EXPECT_EQ(ScenePhase, phase) << scene << " at t = " << t;
  }
}

TEST_F(SceneFlow, ResultOfMissionOneCountsItsBonusInThenGoesOn) {
  StartMission(0);
  Score = 300;
  PlayerGlobe.energy = 950;
  TimeLeft = 4001;  // the winning frame still takes one off the clock
  MissionCleared = 1;
  Frame();
  Effects effects;
  EXPECT_EQ(CountBonus(&effects), 59);
  EXPECT_EQ(ResultTarget, 300 + 100 + 40 + 95);
  EXPECT_EQ(effects.front(), 6);
  EXPECT_EQ(std::count(effects.begin(), effects.end(), 9), 29);  // even t of 34 .. 91
  EXPECT_EQ(ScenePhase, 1);
  for (uint32_t bits : {NOT_A_BUTTON, INPUT_BUTTON1, NOT_A_BUTTON, INPUT_BUTTON1}) Frame(bits);
  EXPECT_EQ(std::tuple(TakeEffects(), SceneId, MissionIndex, Score, SceneTimer, Music()),
            std::tuple(Effects{1, 1, 4}, SCENE_BATTLE, 1, 535, 1u, std::string("MD03t.mid")));
  // The next mission starts as its set-up made it: its globe does not coast with the old one.
  EXPECT_EQ(PlayerGlobe.speed, 1.0f);
}

TEST_F(SceneFlow, ResultOfMissionTenGoesOnToTheEndingOneLevelUp) {
  StartMission(9);
  PlayerGlobe.energy = 500;
  TimeLeft = 1235;
  MissionCleared = 1;
  Frame();
  Effects effects;
  EXPECT_EQ(CountBonus(&effects), (1162 + 3) / 4);
  Frame(INPUT_BUTTON1);
  Frame();  // no press needed after the boss
  EXPECT_EQ(std::tuple(SceneId, MissionIndex, Level, Music()),
            std::tuple(SCENE_ENDING, 0, 1, std::string("MD06t.mid")));
}

TEST_F(SceneFlow, GameOverKeepsTheBetterScoreAndLetsTheGlobeCoast) {
  for (auto [score, hiAfter, speed, frames, speedAfter] :
       {std::tuple{1500, 2000, 1.0f, 9, 0.09999993f},
        {2001, 2001, 1.0f, 30, 0.09999993f},
        {2000, 2000, 5.0f, 10, 4.0000010f},
        {-5, 2000, 5.0f, 50, 0.0000025f}}) {
    StartMission(0);
    MissionFailed = 1;
    Frame();
    ASSERT_EQ(SceneId, SCENE_GAMEOVER);
    PlayerGlobe.speed = speed;
    for (int32_t i = 0; i < frames; ++i) Frame();
    EXPECT_NEAR(PlayerGlobe.speed, speedAfter, 1e-6f) << speed << " after " << frames;
    Score = score;
    HiScore = 2000;
    ScenePhase = 1;
    Frame(INPUT_BUTTON1);
    EXPECT_EQ(HiScore, hiAfter) << score;
  }
}

uint32_t SeedBefore(uint32_t s) { return (s - 1u) * 0xCCCCCCCDu; }  // 5 * 0xCCCCCCCD = 1

int32_t DrawsBetween(uint32_t from, uint32_t to) {
  int32_t n = 0;
  for (uint32_t s = from; s != to && n < 1000; s = s * 5u + 1u) ++n;
  return n;
}

TEST_F(SceneFlow, GameOverBurnsOneExplosionAFrameNearTheGlobe) {
  StartMission(0);
  PlayerGlobe = {160, 240, 0, 0, 192, 0.0f, 999, 0, 0};
  MissionFailed = 1;
  Frame();
  int32_t draws[2] = {};
  for (int32_t busy : {0, 1}) {
    for (Explosion& e : Explosions) e = Explosion{busy, 0, 0, 0, 8, 0};
    for (Star& s : StarField) s = Star{100, 100, 0, 0, 0, 17, 0};  // no renewals
    RandomSeed = 1234;
    ScenePhase = 1;
    Frame();
    draws[busy] = DrawsBetween(1234, RandomSeed);
  }
  // A full pool drops the explosion but not its two numbers: only the delay's is missing.
  EXPECT_EQ(draws[1], draws[0] - 1);
  // With a free record the frame ends on x's number, y's, then the delay's.
  for (Explosion& e : Explosions) e.active = 0;
  Frame();
  const uint32_t sy = SeedBefore(RandomSeed), sx = SeedBefore(sy);
  EXPECT_EQ(Explosions[0].x, 160 + (static_cast<int32_t>(sx) & 31) - 32);
  EXPECT_EQ(Explosions[0].y, 240 + (static_cast<int32_t>(sy) & 31) - 32);
  EXPECT_EQ(Explosions[0].delay, (static_cast<int32_t>(RandomSeed) & 7) + 1);
}

TEST_F(SceneFlow, ScenesEightAndThirtyTwoRunWithoutTheirEntries) {
  SceneTimer = 5000;  // left over from elsewhere: the title times out, the briefing's list holds
  ChangeScene(SCENE_TITLE_NO_ENTER);
  Frame();
  EXPECT_EQ(SceneId, SCENE_PROLOGUE);
  Score = 40;
  SceneTimer = 100000;
  ChangeScene(SCENE_BRIEFING_NO_ENTER);
  Frame();
  EXPECT_EQ(std::tuple(SceneId, Score), std::tuple(SCENE_BATTLE, 40));  // no new game
}

TEST_F(SceneFlow, PrologueJokeLinesFitTheFont) {
  for (int32_t i = 12; i <= 24; ++i) {
    const std::string line = PrologueLines[i];
    EXPECT_TRUE(!line.empty() && line.size() <= 21) << line;
    EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
      return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
    })) << line;
  }
  EXPECT_EQ(std::tuple(PrologueLines[28], EndingLines[27]), std::tuple(nullptr, nullptr));
}

}  // namespace
