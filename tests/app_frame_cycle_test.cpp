// The outer state machine: start-up order and failures, the report, shutdown, scene dispatch.
#include <algorithm>
#include <tuple>

#include "app/fatal_report.h"
#include "app_shell_fixture.h"
#include "gfx/surface.h"

namespace {

class FrameCycle : public ShellTest {
 protected:
  static void ExpectEndedAndReleased() {
    EXPECT_EQ(std::tuple(SystemState, QuitPending(), DisplayReady),
              std::tuple(SYSTEM_ENDED, true, 0));
    EXPECT_FALSE(FakeAudioIsOpen() || FakeMidiIsOpen());
  }
};

TEST_F(FrameCycle, FirstFrameStartsEveryServiceAndShowsNothing) {
  SystemFrame();  // no scene runs and nothing is shown
  EXPECT_EQ(std::tuple(SystemState, ErrorFlags, DisplayReady, JoystickCount),
            std::tuple(SYSTEM_RUNNING, 0u, 1, 0));
  EXPECT_TRUE(FakeAudioIsOpen() && FakeMidiIsOpen());
  EXPECT_EQ(std::tuple(FakeDisplayPresentCount(), SceneId), std::tuple(0, SCENE_BOOT));
  SystemFrame();  // the boot scene runs on the second frame, then presents
  EXPECT_EQ(std::tuple(FakeDisplayPresentCount(), SceneId), std::tuple(1, SCENE_LOGO));
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
  EXPECT_EQ(std::tuple(SystemState, ErrorFlags), std::tuple(SYSTEM_FAILED, c.flags));
  // A display failure stops the start-up at once; the others let the rest be tried.
  EXPECT_EQ(
      std::tuple(FakeAudioOpenCount(), FakeMidiOpenCount(), JoystickCount),
      std::tuple(c.display || c.sound ? 0 : 1, c.display || c.music ? 0 : 1, c.display ? -1 : 0));
  EXPECT_TRUE(FakeMessageBoxes().empty());

  SystemFrame();
  EXPECT_EQ(SystemState, SYSTEM_SHUTDOWN);
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_EQ(FakeMessageBoxes()[0].text, std::string("エラーが発生！\n\n0001:") + c.line +
                                            "初期化に失敗しました\n\n終了します。");
  EXPECT_FALSE(QuitPending());

  SystemFrame();
  ExpectEndedAndReleased();
  EXPECT_FALSE(FakeDisplayIsOpen());
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
  // Start-up, report, shutdown.
  EXPECT_EQ(std::tuple(ClockChanges, SystemState, FakeMessageBoxes().size()),
            std::tuple(3u, SYSTEM_ENDED, size_t{1}));
}

TEST_F(FrameCycle, ShutdownReleasesOnceAndThenNothingRuns) {
  SystemFrame();
  SystemFrame();
  const int32_t presents = FakeDisplayPresentCount();
  RequestShutdown();
  EXPECT_EQ(SystemState, SYSTEM_SHUTDOWN);
  SystemFrame();
  ExpectEndedAndReleased();
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
  EXPECT_EQ(std::tuple(InputState.pad.bits, InputState.pressed, SceneId),
            std::tuple(INPUT_BUTTON1, INPUT_BUTTON1, 2));
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
  for (auto [scene, timer] : {std::pair{SCENE_TITLE_NO_ENTER, 77u}, {2, 77u}, {SCENE_TITLE, 0u}}) {
    ChangeScene(scene);  // only the title's enter operation resets the timer
    EXPECT_EQ(std::tuple(SceneId, SceneTimer), std::tuple(scene, timer));
  }
}

}  // namespace
