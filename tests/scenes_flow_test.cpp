// The road through the screens outside the battle: timers, phases, presses, sounds and music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
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

// The effect numbers played since the last call, read from the audio device's record.
std::vector<int32_t> TakeEffects() {
  std::vector<int32_t> played;
  for (const FakeSoundCall& call : FakeSoundCalls()) {
    if (call.op != FSOUND_PLAY) continue;
    for (int32_t n = 0; n < SOUND_EFFECT_COUNT; ++n)
      for (int32_t v = 0; v < SoundBank[n].count; ++v)
        if (SoundBank[n].voices[v] == call.buffer) played.push_back(n);
  }
  FakeClearSoundCalls();
  return played;
}

int32_t CountOf(const std::vector<int32_t>& v, int32_t n) {
  return static_cast<int32_t>(std::count(v.begin(), v.end(), n));
}

// The song playing now, or "" when none is.
std::string Music() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }

// Scenes run one operation at a time on blank surfaces, sound and music on the scripted machine.
class SceneFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeAudioReset();
    FakeMidiResetAll();
    SoundReady = false;  // a released bank stays marked ready; each test opens its own
    SoundInit(nullptr);
    LoadSoundEffects();
    MusicInit();
    sheet_ = CreateSurface(319, 240);
    screen_ = CreateSurface(320, 240);
    clip_.rect = {0, 0, 320, 240};
    screen_->clipper = &clip_;
    SheetSurface = sheet_;
    ScreenSurface = screen_;
    InputState = {};
    Score = 0;
    HiScore = 2000;
    MissionIndex = 0;
    Level = 0;
    TakeEffects();
  }

  void TearDown() override {
    StopMusicTrack();
    MusicShutdown();
    SoundRelease();
    FakeAudioReset();
    FakeMidiResetAll();
    SheetSurface = nullptr;
    ScreenSurface = nullptr;
    ReleaseSurface(sheet_);
    ReleaseSurface(screen_);
  }

  // One frame of the current scene with these bits newly pressed.
  void Frame(uint32_t pressed = 0) {
    InputState.pressed = pressed;
    const int32_t scene = SceneId;
    for (int32_t i = 0; i < SceneTableRows; ++i)
      if (SceneTable[i].id == scene) {
        SceneTable[i].frame();
        break;
      }
    InputState.pressed = 0;
  }

  void Enter(int32_t scene) {
    ChangeScene(scene);
    TakeEffects();
  }

  // A mission set up and then left for the result or game-over screen.
  void StartMission(int32_t mission, int32_t level) {
    MissionIndex = mission;
    Level = level;
    Enter(SCENE_BATTLE);
  }

  Surface* sheet_ = nullptr;
  Surface* screen_ = nullptr;
  Clipper clip_{};
};

// ---- Entry conventions -----------------------------------------------------------------------

struct EntryCase {
  const char* name;
  int32_t (*enter)();
  bool resetsPhase;
};

class EntryConvention : public SceneFlow, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryConvention, TimerRestartsAndPhaseAsTheSceneNeeds) {
  const EntryCase c = GetParam();
  StartMission(0, 0);
  SceneTimer = 77;
  ScenePhase = 9;
  c.enter();
  EXPECT_EQ(SceneTimer, 0u) << c.name;
  EXPECT_EQ(ScenePhase, c.resetsPhase ? 0 : 9) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllScenes, EntryConvention,
                         ::testing::Values(EntryCase{"logo", EnterLogo, true},
                                           EntryCase{"title", EnterTitle, false},
                                           EntryCase{"prologue", EnterPrologue, true},
                                           EntryCase{"briefing", EnterBriefing, false},
                                           EntryCase{"result", EnterResult, true},
                                           EntryCase{"game over", EnterGameOver, true},
                                           EntryCase{"ending", EnterEnding, true}));

TEST_F(SceneFlow, EntriesRequestTheirMusic) {
  const struct {
    int32_t scene;
    const char* song;
  } cases[] = {{SCENE_LOGO, ""},     {SCENE_TITLE, "MD00t.mid"},  {SCENE_PROLOGUE, "MD01t.mid"},
               {SCENE_BRIEFING, ""}, {SCENE_ENDING, "MD06t.mid"}, {SCENE_TITLE, "MD00t.mid"}};
  for (const auto& c : cases) {
    StopMusicTrack();
    SetMusicTempo(130);
    Enter(c.scene);
    EXPECT_EQ(Music(), c.song) << "scene " << c.scene;
    EXPECT_EQ(TempoPercent.load(), 100) << "scene " << c.scene;
  }
}

// ---- Logo ------------------------------------------------------------------------------------

TEST_F(SceneFlow, LogoLeavesAfterFrame400WithSoundOne) {
  Enter(SCENE_LOGO);
  SceneTimer = 400;
  Frame();
  EXPECT_EQ(SceneId, SCENE_LOGO);
  EXPECT_TRUE(TakeEffects().empty());
  Frame();
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
  EXPECT_EQ(Music(), "MD00t.mid");
}

TEST_F(SceneFlow, OnlyButtonsEndTheLogoEvenWhileItGrows) {
  Enter(SCENE_LOGO);
  SceneTimer = 20;
  for (uint32_t bits : {INPUT_UP, INPUT_DOWN, INPUT_LEFT, INPUT_RIGHT, INPUT_ESCAPE}) {
    Frame(bits);
    EXPECT_EQ(SceneId, SCENE_LOGO) << bits;
  }
  Frame(INPUT_BUTTON8);
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
}

// ---- Title and prologue ----------------------------------------------------------------------

TEST_F(SceneFlow, TitleGivesWayToThePrologueAfterFrame800) {
  Enter(SCENE_TITLE);
  SceneTimer = 800;
  Frame();
  EXPECT_EQ(SceneId, SCENE_TITLE);
  Frame();
  EXPECT_EQ(SceneId, SCENE_PROLOGUE);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(Music(), "MD01t.mid");
  EXPECT_TRUE(TakeEffects().empty());
}

TEST_F(SceneFlow, PressOnTheTitleStartsANewGame) {
  Score = 777;
  MissionIndex = 6;
  Level = 3;
  Enter(SCENE_TITLE);
  SceneTimer = 801;  // a press wins over the time-out in the same frame
  Frame(INPUT_BUTTON2);
  EXPECT_EQ(SceneId, SCENE_BRIEFING);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(MissionIndex, 0);
  EXPECT_EQ(Level, 0);
  EXPECT_EQ(Music(), "");
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
  EXPECT_EQ(SceneTimer, 1u);
}

TEST_F(SceneFlow, PrologueTimesOutToTheLogoAndAPressGoesToTheTitle) {
  Enter(SCENE_PROLOGUE);
  SceneTimer = 901;
  Frame(INPUT_BUTTON1);  // too late: the time-out is tested first
  EXPECT_EQ(SceneId, SCENE_LOGO);
  EXPECT_EQ(Music(), "");
  EXPECT_TRUE(TakeEffects().empty());

  Enter(SCENE_PROLOGUE);
  SceneTimer = 900;
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(Music(), "MD00t.mid");
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
}

TEST_F(SceneFlow, PrologueJokeLinesFitTheFont) {
  for (int32_t i = 12; i <= 24; ++i) {
    const std::string line = PrologueLines[i];
    EXPECT_FALSE(line.empty()) << i;
    EXPECT_LE(line.size(), 21u) << line;
    for (char c : line)
      EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') << line;
  }
  EXPECT_STREQ(PrologueLines[11], "");
  EXPECT_STREQ(PrologueLines[27], "GOODLUCK");
  EXPECT_EQ(PrologueLines[28], nullptr);
}

// ---- Briefing --------------------------------------------------------------------------------

TEST_F(SceneFlow, BriefingEndsOnAButtonOrAfterFrame480) {
  Enter(SCENE_BRIEFING);
  for (uint32_t bits : {INPUT_UP, INPUT_RIGHT, INPUT_ESCAPE}) {
    Frame(bits);
    EXPECT_EQ(SceneId, SCENE_BRIEFING);
  }
  Frame(INPUT_BUTTON3);
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(SceneTimer, 1u);  // the briefing counts once more after the battle's set-up
  EXPECT_EQ(ScenePhase, 255);

  Enter(SCENE_BRIEFING);
  SceneTimer = 480;
  Frame();
  EXPECT_EQ(SceneId, SCENE_BRIEFING);
  Frame();
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(MissionIndex, 0);
  EXPECT_EQ(Music(), "MD02t.mid");
}

// ---- Result ----------------------------------------------------------------------------------

struct ResultRun {
  int32_t goodFightFrames = 0;  // frames before the count-up
  int32_t countFrames = 0;      // frames of the count-up until the target is reached
  std::vector<int32_t> effects;
};

class ResultFlow : public SceneFlow {
 protected:
  // Wins the mission with this energy and time left, then runs the result until the count is in.
  ResultRun Win(int32_t mission, int32_t level, int32_t energy, int32_t timeLeft) {
    StartMission(mission, level);
    PlayerGlobe.energy = energy;
    TimeLeft = timeLeft + 1;  // the winning frame still takes one off the clock
    MissionCleared = 1;
    Frame();  // the battle sees the win and enters the result
    EXPECT_EQ(SceneId, SCENE_RESULT);
    EXPECT_EQ(TimeLeft, timeLeft);
    EXPECT_EQ(BattleOver, 1);
    ResultRun run;
    run.effects = TakeEffects();
    while (ScenePhase == 0) {
      Frame(INPUT_BUTTON1);  // presses during "GOOD FIGHT" change nothing
      ++run.goodFightFrames;
    }
    for (;;) {
      const int32_t before = Score;
      Frame();
      if (Score == before) break;
      ++run.countFrames;
      if (Score == ResultTarget) break;
    }
    const std::vector<int32_t> more = TakeEffects();
    run.effects.insert(run.effects.end(), more.begin(), more.end());
    return run;
  }
};

TEST_F(ResultFlow, MissionOneBonusCountsInOverFiftyNineFrames) {
  Score = 300;
  const ResultRun run = Win(0, 0, 950, 4000);
  EXPECT_EQ(run.goodFightFrames, 34);  // t = 0 .. 33; the phase turns at t = 33
  EXPECT_EQ(ResultTarget, 300 + 100 + 40 + 95);
  EXPECT_EQ(Score, ResultTarget);
  EXPECT_EQ(run.countFrames, 59);
  EXPECT_EQ(run.effects.front(), 6);
  // Effect 9 on the even frames among the 58 that end below the target: t = 34 .. 91.
  EXPECT_EQ(CountOf(run.effects, 9), 29);
  EXPECT_EQ(CountOf(run.effects, 1), 0);

  Frame(INPUT_UP);
  EXPECT_EQ(ScenePhase, 1);
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(ScenePhase, 2);
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
  Frame(INPUT_LEFT);
  EXPECT_EQ(SceneId, SCENE_RESULT);
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(MissionIndex, 1);
  EXPECT_EQ(Level, 0);
  EXPECT_EQ(Score, 535);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(ScenePhase, 255);
  // The next mission starts as the set-up made it: its globe does not coast with the old one.
  EXPECT_EQ(PlayerGlobe.speed, 1.0f);
  EXPECT_EQ(Music(), "MD03t.mid");
}

TEST_F(ResultFlow, TheCountUpCannotBeSkipped) {
  StartMission(0, 0);
  PlayerGlobe.energy = 999;
  TimeLeft = 4999;
  MissionCleared = 1;
  Frame();
  for (int32_t i = 0; i < 40; ++i) Frame(INPUT_BUTTON1 | INPUT_BUTTON2);
  EXPECT_EQ(ScenePhase, 1);
  EXPECT_LT(Score, ResultTarget);
}

TEST_F(ResultFlow, MissionTenGoesOnToTheEndingOneLevelUp) {
  const ResultRun run = Win(9, 0, 500, 1234);
  EXPECT_EQ(ResultTarget, 1162);
  EXPECT_EQ(run.countFrames, (1162 + 3) / 4);
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(ScenePhase, 2);
  EXPECT_EQ(CountOf(TakeEffects(), 1), 1);
  Frame();  // no press needed after the boss
  EXPECT_EQ(SceneId, SCENE_ENDING);
  EXPECT_EQ(MissionIndex, 0);
  EXPECT_EQ(Level, 1);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(ScenePhase, 0);
  EXPECT_EQ(Music(), "MD06t.mid");
  EXPECT_EQ(CountOf(TakeEffects(), 1), 1);
}

// ---- Game over -------------------------------------------------------------------------------

class GameOverFlow : public SceneFlow {
 protected:
  void Lose() {
    StartMission(0, 0);
    PlayerGlobe.x = 160;
    PlayerGlobe.y = 240;
    PlayerGlobe.speed = 0.0f;
    MissionFailed = 1;
    Frame();
    ASSERT_EQ(SceneId, SCENE_GAMEOVER);
    ASSERT_EQ(SceneTimer, 0u);
    TakeEffects();
  }
};

TEST_F(GameOverFlow, PressesCountOnlyOnceTheCurtainIsIn) {
  Lose();
  EXPECT_EQ(Music(), "");
  for (uint32_t t = 0; t <= 64; ++t) {
    EXPECT_EQ(ScenePhase, 0) << t;
    Frame(INPUT_BUTTON1);
  }
  EXPECT_EQ(ScenePhase, 1);
  EXPECT_EQ(SceneId, SCENE_GAMEOVER);
  EXPECT_TRUE(TakeEffects().empty());
  Frame(INPUT_DOWN | INPUT_ESCAPE);
  EXPECT_EQ(SceneId, SCENE_GAMEOVER);
  Frame(INPUT_BUTTON4);
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
  EXPECT_EQ(Music(), "MD00t.mid");
  EXPECT_EQ(SceneTimer, 1u);
}

TEST_F(GameOverFlow, HiScoreTakesOnlyAGreaterScore) {
  const struct {
    int32_t score, hiBefore, hiAfter;
  } cases[] = {{1500, 2000, 2000}, {2001, 2000, 2001}, {2000, 2000, 2000}, {-5, 2000, 2000}};
  for (const auto& c : cases) {
    Lose();
    Score = c.score;
    HiScore = c.hiBefore;
    SceneTimer = 65;
    ScenePhase = 1;
    Frame(INPUT_BUTTON1);
    EXPECT_EQ(HiScore, c.hiAfter) << c.score;
    EXPECT_EQ(Score, c.score);
  }
}

TEST_F(GameOverFlow, TheLostGlobeCoastsToAStop) {
  const struct {
    float start;
    int32_t frames;
    float expected;
  } cases[] = {{1.0f, 9, 0.09999993f}, {1.0f, 30, 0.09999993f}, {5.0f, 10, 4.0000010f}};
  for (const auto& c : cases) {
    Lose();
    PlayerGlobe.speed = c.start;
    for (int32_t i = 0; i < c.frames; ++i) Frame();
    EXPECT_FLOAT_EQ(PlayerGlobe.speed, c.expected) << c.start << " after " << c.frames;
  }
  Lose();
  PlayerGlobe.speed = 5.0f;
  for (int32_t i = 0; i < 50; ++i) Frame();
  EXPECT_LE(PlayerGlobe.speed, 0.1f);
}

// Numbers drawn to get from one seed to another.
int32_t DrawsBetween(uint32_t from, uint32_t to) {
  int32_t n = 0;
  for (uint32_t s = from; s != to && n < 1000; s = s * 5u + 1u) ++n;
  return n;
}

uint32_t SeedBefore(uint32_t s) { return (s - 1u) * 0xCCCCCCCDu; }  // 5 * 0xCCCCCCCD = 1

TEST_F(GameOverFlow, OneExplosionAFrameUpAndLeftOfTheGlobe) {
  Lose();
  for (Explosion& e : Explosions) e.active = 0;
  // Sparkles that never leave the screen draw no numbers for their renewal.
  for (Star& s : StarField) s = Star{100, 100, 0, 0, 0, 17, 0};
  const uint32_t seed = RandomSeed;
  const uint32_t timer = SceneTimer;
  Frame();
  // The frame's last three numbers: x, then y, then the explosion's own delay.
  const uint32_t sy = SeedBefore(RandomSeed);
  const uint32_t sx = SeedBefore(sy);
  ASSERT_EQ(Explosions[0].active, 1);
  EXPECT_EQ(Explosions[0].x, 160 + (static_cast<int32_t>(sx) & 31) - 32);
  EXPECT_EQ(Explosions[0].y, 240 + (static_cast<int32_t>(sy) & 31) - 32);
  EXPECT_EQ(Explosions[0].delay, (static_cast<int32_t>(RandomSeed) & 7) + 1);
  const int32_t drawsFree = DrawsBetween(seed, RandomSeed);

  // The same frame again with every record busy: only the delay's number is missing.
  RandomSeed = seed;
  SceneTimer = timer;
  for (Explosion& e : Explosions) e = Explosion{1, 0, 0, 0, 8, 0};
  for (Star& s : StarField) s = Star{100, 100, 0, 0, 0, 17, 0};
  Frame();
  EXPECT_EQ(DrawsBetween(seed, RandomSeed), drawsFree - 1);
}

// ---- Ending ----------------------------------------------------------------------------------

TEST_F(SceneFlow, EndingWaitsForTheRollThenAPress) {
  MissionIndex = 0;
  Level = 1;
  Enter(SCENE_ENDING);
  EXPECT_EQ(Music(), "MD06t.mid");
  SceneTimer = 700;
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(SceneId, SCENE_ENDING);
  SceneTimer = 800;
  Frame();
  EXPECT_EQ(ScenePhase, 0);
  Frame(INPUT_BUTTON1);  // t = 801 still rolls, and switches the phase
  EXPECT_EQ(ScenePhase, 1);
  EXPECT_EQ(SceneId, SCENE_ENDING);
  EXPECT_TRUE(TakeEffects().empty());
  Frame(INPUT_BUTTON1);
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(MissionIndex, 0);
  EXPECT_EQ(Level, 1);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(Music(), "MD02t.mid");
  const std::vector<int32_t> effects = TakeEffects();
  ASSERT_EQ(effects.size(), 2u);
  EXPECT_EQ(effects[0], 1);
  EXPECT_EQ(effects[1], 4);  // the mission's own start sound follows
}

TEST_F(SceneFlow, EndingLinesAreTheStaffRoll) {
  const char* const expected[] = {"CONGRATURATION",
                                  "",
                                  "DESTROY THE",
                                  "MOTHER OBJECT",
                                  "",
                                  "",
                                  "",
                                  "PLAN",
                                  "    Q DEDODIRO",
                                  "",
                                  "PROGRAM",
                                  "    Q DEDODIRO",
                                  "",
                                  "GRAPHIC",
                                  "    Q DEDODIRO",
                                  "",
                                  "MUSIC",
                                  "    Q DEDODIRO",
                                  "",
                                  "1997 PRODUCED BY",
                                  "    DUDEZIZE",
                                  "",
                                  "",
                                  "",
                                  "TRY THE NEXT LEVEL",
                                  "",
                                  "GOODLUCK"};
  for (int32_t i = 0; i < 27; ++i) EXPECT_STREQ(EndingLines[i], expected[i]) << i;
  EXPECT_EQ(EndingLines[27], nullptr);
}

}  // namespace
