// The outer state machine: start-up order and failures, the report, shutdown, scene dispatch.
#include <algorithm>

#include "app/fatal_report.h"
#include "app_shell_fixture.h"
#include "gfx/surface.h"

namespace {

class FrameCycle : public ShellTest {};

TEST_F(FrameCycle, FirstFrameStartsEveryServiceAndShowsNothing) {
  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_RUNNING);
  EXPECT_EQ(ErrorFlags, 0u);
  EXPECT_EQ(DisplayReady, 1);
  EXPECT_EQ(JoystickCount, 0);
  EXPECT_TRUE(FakeAudioIsOpen());
  EXPECT_TRUE(FakeMidiIsOpen());
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
  EXPECT_EQ(SceneId, SCENE_BOOT);  // no scene ran
  SystemFrame();                   // the boot scene runs on the second frame, then presents
  EXPECT_EQ(SceneId, SCENE_LOGO);
  EXPECT_EQ(FakeDisplayPresentCount(), 1);
}

struct FailureCase {
  const char* name;
  bool display, sound, music;
  uint32_t flags;
  const char* line;
};

class StartupFailure : public FrameCycle, public testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailure, ReportsTheLastFailureThenShutsDown) {
  const FailureCase& c = GetParam();
  FakeDisplayFailOpen(c.display);
  FakeAudioFailures audio;
  audio.open = c.sound;
  FakeAudioFail(audio);
  FakeMidiFailures midi;
  midi.open = c.music;
  FakeMidiFail(midi);

  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_FAILED);
  EXPECT_EQ(ErrorFlags, c.flags);
  // A display failure stops the start-up at once; the others let the rest be tried.
  EXPECT_EQ(FakeAudioOpenCount(), c.display || c.sound ? 0 : 1);
  EXPECT_EQ(FakeMidiOpenCount(), c.display || c.music ? 0 : 1);
  EXPECT_EQ(JoystickCount, c.display ? -1 : 0);
  EXPECT_TRUE(FakeMessageBoxes().empty());

  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_SHUTDOWN);
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_EQ(FakeMessageBoxes()[0].text, std::string("エラーが発生！\n\n0001:") + c.line +
                                            "初期化に失敗しました\n\n終了します。");
  EXPECT_FALSE(QuitPending());

  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_ENDED);
  EXPECT_TRUE(QuitPending());
  EXPECT_EQ(DisplayReady, 0);
  EXPECT_FALSE(FakeDisplayIsOpen());
  EXPECT_FALSE(FakeAudioIsOpen());
  EXPECT_FALSE(FakeMidiIsOpen());
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Services, StartupFailure,
    testing::Values(FailureCase{"display", true, false, false, ERR_DIRECTDRAW, "DirectDraw"},
                    FailureCase{"displayAndSound", true, true, true, ERR_DIRECTDRAW, "DirectDraw"},
                    FailureCase{"sound", false, true, false, ERR_DIRECTSOUND, "DirectSound"},
                    FailureCase{"music", false, false, true, ERR_MIDISTREAM, "MIDI Stream"},
                    FailureCase{"soundAndMusic", false, true, true, ERR_MIDISTREAM, "MIDI Stream"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(FrameCycle, FailedStartEndsTheLoopOnTheThirdFrame) {
  FakeDisplayFailOpen(true);
  AppActive = 1;
  FrameRateLimit = 0;
  EXPECT_EQ(RunLoop(10'000'000, 1000), 0);
  EXPECT_EQ(ClockChanges, 3u);  // start-up, report, shutdown
  EXPECT_EQ(SystemState, SYSTEM_ENDED);
  EXPECT_EQ(FakeMessageBoxes().size(), 1u);
}

TEST_F(FrameCycle, ShutdownReleasesOnceAndThenNothingRuns) {
  SystemFrame();
  SystemFrame();
  const int32_t presents = FakeDisplayPresentCount();
  RequestShutdown();
  EXPECT_EQ(SystemState, SYSTEM_SHUTDOWN);
  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_ENDED);
  EXPECT_TRUE(QuitPending());
  EXPECT_EQ(DisplayReady, 0);
  EXPECT_FALSE(FakeAudioIsOpen());
  EXPECT_FALSE(FakeMidiIsOpen());
  SystemFrame();
  SystemState = 3;  // a value no state has
  SystemFrame();
  EXPECT_EQ(FakeDisplayPresentCount(), presents);
  SystemState = SYSTEM_ENDED;
}

TEST_F(FrameCycle, UnknownSceneReadsInputAndShowsABlackScreen) {
  SystemFrame();
  SceneId = 2;
  FakeSetKeyHeld('Z', true);
  SystemFrame();
  EXPECT_EQ(InputState.pad.bits, INPUT_BUTTON1);
  EXPECT_EQ(InputState.pressed, INPUT_BUTTON1);
  EXPECT_EQ(SceneId, 2);
  const FakeDisplayFrame& frame = FakeDisplayLastFrame();
  ASSERT_EQ(frame.pixels.size(), 320u * 240u);
  EXPECT_TRUE(
      std::all_of(frame.pixels.begin(), frame.pixels.end(), [](uint8_t p) { return p == 0; }));
}

struct PressStep {
  std::vector<int32_t> keys;
  uint32_t pressed;
  bool button;
};

TEST_F(FrameCycle, PressedHoldsABitOnlyOnTheFrameItWentDown) {
  JoystickCount = 0;
  SceneId = 2;
  const PressStep steps[] = {
      {{}, 0, false},
      {{'Z'}, INPUT_BUTTON1, true},
      {{'Z'}, 0, false},  // held: not again
      {{'Z', 'X'}, INPUT_BUTTON2, true},
      {{}, 0, false},
      {{VK_UP, VK_RIGHT}, INPUT_UP | INPUT_RIGHT, false},  // directions never count
      {{VK_ESCAPE}, INPUT_ESCAPE, false},                  // nor Escape
      {{VK_ESCAPE, 'Q'}, INPUT_BUTTON4, true},
  };
  for (const PressStep& step : steps) {
    for (int32_t vk : {int32_t{'Z'}, int32_t{'X'}, int32_t{'Q'}, VK_UP, VK_RIGHT, VK_ESCAPE})
      FakeSetKeyHeld(vk, false);
    for (int32_t vk : step.keys) FakeSetKeyHeld(vk, true);
    SceneFrame();
    EXPECT_EQ(InputState.pressed, step.pressed);
    EXPECT_EQ(ButtonPress(), step.button);
    EXPECT_EQ(InputState.previous, InputState.pad.bits);
  }
}

TEST_F(FrameCycle, ChangeSceneRunsTheEnterOperationOnlyWhereThereIsOne) {
  SystemFrame();
  SceneTimer = 77;
  ChangeScene(SCENE_TITLE_NO_ENTER);
  EXPECT_EQ(SceneId, SCENE_TITLE_NO_ENTER);
  EXPECT_EQ(SceneTimer, 77u);
  ChangeScene(2);
  EXPECT_EQ(SceneId, 2);
  EXPECT_EQ(SceneTimer, 77u);
  ChangeScene(SCENE_TITLE);  // its enter operation resets the timer
  EXPECT_EQ(SceneId, SCENE_TITLE);
  EXPECT_EQ(SceneTimer, 0u);
}

}  // namespace
