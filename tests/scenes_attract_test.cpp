// Whole frames from the boot on: the attract cycle without input, and a new game by a held key.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "battle/battle_state.h"
#include "gfx/surface.h"
#include "input/pad.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

namespace {

std::string Music() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }

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

// One stay in a scene: how many of its frames ran, and what was heard when it was left.
struct Stay {
  int32_t scene;
  int32_t frames;
  std::vector<int32_t> effectsOnLeaving;
  std::string musicAfter;  // the song playing once the next scene was entered
};

class WholeGame : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    FakeDisplayReset();
    FakeAudioReset();
    FakeMidiResetAll();
    SoundReady = false;  // a released bank stays marked ready; each run starts its own
    ASSERT_EQ(CreateMainWindow(), 1);
    InputState = {};
    ResetSystem();
    SystemFrame();  // services
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << "failed service " << ErrorFlags;
  }

  void TearDown() override {
    FakeSetKeyHeld(VK_SPACE, false);
    RequestShutdown();
    SystemFrame();
  }

  // Runs frames until the scene changes (or the limit); the frames counted are the ones the
  // scene itself ran.
  Stay RunScene(int32_t limit = 5000) {
    Stay stay{SceneId, 0, {}, {}};
    while (SceneId == stay.scene && stay.frames < limit) {
      SystemFrame();
      ++stay.frames;
    }
    stay.effectsOnLeaving = TakeEffects();
    stay.musicAfter = Music();
    return stay;
  }
};

TEST_F(WholeGame, AttractCycleWithoutInput) {
  const Stay boot = RunScene();
  EXPECT_EQ(boot.scene, SCENE_BOOT);
  EXPECT_EQ(boot.frames, 1);
  EXPECT_EQ(SceneId, SCENE_LOGO);
  EXPECT_EQ(SceneTimer, 0u);  // the boot frame does not count
  EXPECT_EQ(HiScore, 2000);
  EXPECT_EQ(Score, 0);
  EXPECT_NE(SheetSurface, nullptr);
  EXPECT_GT(SoundBank[1].count, 0);
  EXPECT_TRUE(boot.effectsOnLeaving.empty());
  EXPECT_EQ(boot.musicAfter, "");

  const Stay expected[] = {
      {SCENE_LOGO, 402, {1}, "MD00t.mid"},  // t = 0 .. 401
      {SCENE_TITLE, 801, {}, "MD01t.mid"},  // t = 1 .. 801
      {SCENE_PROLOGUE, 901, {}, ""},        // t = 1 .. 901
      {SCENE_LOGO, 401, {1}, "MD00t.mid"},  // t = 1 .. 401
      {SCENE_TITLE, 801, {}, "MD01t.mid"},
  };
  for (const Stay& e : expected) {
    const Stay got = RunScene();
    EXPECT_EQ(got.scene, e.scene);
    EXPECT_EQ(got.frames, e.frames) << "scene " << e.scene;
    EXPECT_EQ(got.effectsOnLeaving, e.effectsOnLeaving) << "scene " << e.scene;
    EXPECT_EQ(got.musicAfter, e.musicAfter) << "scene " << e.scene;
    EXPECT_EQ(SceneTimer, 1u) << "the next scene counted its first frame";
  }
}

TEST_F(WholeGame, ButtonHeldFromTheTitleDoesNotSkipTheBriefing) {
  RunScene();  // boot
  FakeSetKeyHeld('Z', true);
  SystemFrame();  // the press leaves the logo
  ASSERT_EQ(SceneId, SCENE_TITLE);
  FakeSetKeyHeld('Z', false);
  SystemFrame();
  TakeEffects();
  Score = 99;
  Level = 2;
  MissionIndex = 4;

  FakeSetKeyHeld(VK_SPACE, true);
  SystemFrame();
  ASSERT_EQ(SceneId, SCENE_BRIEFING);
  EXPECT_EQ(TakeEffects(), std::vector<int32_t>{1});
  EXPECT_EQ(Music(), "");
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(Level, 0);
  EXPECT_EQ(MissionIndex, 0);

  const Stay briefing = RunScene();  // still holding the key
  EXPECT_EQ(briefing.frames, 481);   // t = 1 .. 481
  EXPECT_EQ(SceneId, SCENE_BATTLE);
  EXPECT_EQ(SceneTimer, 1u);
  EXPECT_EQ(briefing.musicAfter, "MD02t.mid");
  EXPECT_EQ(briefing.effectsOnLeaving, std::vector<int32_t>{4});
}

}  // namespace
