// The outer state machine: start-up failures, the report and shutdown; input on each frame.
#include <tuple>
#include <vector>

#include "app/fatal_report.h"
#include "app_shell_fixture.h"
#include "gfx/surface.h"

namespace {

using FrameCycle = ShellTest;

// A display failure stops the start-up at once; the others let the rest be tried. The report
// names the last failure, and a third frame releases everything.
TEST_F(FrameCycle, AFailedStartReportsTheLastFailureThenShutsDown) {
  struct Case {
    bool display, sound, music;
    uint32_t flags;
    const char* line;
  };
  for (const Case& c : {Case{true, true, true, ERR_DIRECTDRAW, "DirectDraw"},
                        Case{false, true, false, ERR_DIRECTSOUND, "DirectSound"},
                        Case{false, true, true, ERR_MIDISTREAM, "MIDI Stream"}}) {
    SetUp();
    FakeDisplayFailOpen(c.display);
    FakeAudioFailures audio;
    audio.open = c.sound;
    FakeAudioFail(audio);
    FakeMidiFailures midi;
    midi.open = c.music;
    FakeMidiFail(midi);
    SystemFrame();
    EXPECT_EQ(std::tuple(SystemState, ErrorFlags), std::tuple(SYSTEM_FAILED, c.flags));
    EXPECT_EQ(
        std::tuple(FakeAudioOpenCount(), FakeMidiOpenCount(), JoystickCount),
        std::tuple(c.display || c.sound ? 0 : 1, c.display || c.music ? 0 : 1, c.display ? -1 : 0));
    EXPECT_TRUE(FakeMessageBoxes().empty());
    SystemFrame();
    ASSERT_EQ(FakeMessageBoxes().size(), 1u);
    EXPECT_EQ(FakeMessageBoxes()[0].text, std::string("エラーが発生！\n\n0001:") + c.line +
                                              "初期化に失敗しました\n\n終了します。");
    EXPECT_EQ(std::tuple(SystemState, QuitPending()), std::tuple(SYSTEM_SHUTDOWN, false));
    SystemFrame();
    EXPECT_EQ(std::tuple(SystemState, QuitPending(), DisplayReady),
              std::tuple(SYSTEM_ENDED, true, 0));
    EXPECT_FALSE(FakeAudioIsOpen() || FakeMidiIsOpen());
    EXPECT_FALSE(FakeDisplayIsOpen());
    SystemFrame();  // an ended cycle runs nothing more
    EXPECT_EQ(FakeDisplayPresentCount(), 0);
  }
  // An automatic run has nobody to close the box: the report goes to the terminal only.
  SetUp();
  FakeDisplayFailOpen(true);
  FrameLimit = 5;
  SystemFrame();
  SystemFrame();
  FrameLimit = 0;
  EXPECT_EQ(std::tuple(FakeMessageBoxes().size(), SystemState), std::tuple(0u, SYSTEM_SHUTDOWN));
  // Several failures are numbered in a fixed order; a bit without a line is left out.
  EXPECT_EQ(FatalReportText(ERR_MIDISTREAM | 16 | ERR_DIRECTDRAW),
            "エラーが発生！\n\n0001:DirectDraw初期化に失敗しました\n"
            "0002:MIDI Stream初期化に失敗しました\n\n終了します。");
}

// A scene number without operations still reads input and shows a black screen.
TEST_F(FrameCycle, PressedHoldsAButtonOnlyOnTheFrameItWentDown) {
  SystemFrame();
  SceneId = 2;
  const std::tuple<std::vector<int32_t>, uint32_t, bool> steps[] = {
      {{'Z'}, INPUT_BUTTON1, true},
      {{'Z', 'X'}, INPUT_BUTTON2, true},                     // the held one not again
      {{VK_UP, VK_ESCAPE}, INPUT_UP | INPUT_ESCAPE, false},  // directions and Escape never count
  };
  for (const auto& [keys, pressed, button] : steps) {
    for (int32_t vk : {int32_t{'Z'}, int32_t{'X'}, VK_UP, VK_ESCAPE}) FakeSetKeyHeld(vk, false);
    for (int32_t vk : keys) FakeSetKeyHeld(vk, true);
    SystemFrame();
    EXPECT_EQ(std::tuple(InputState.pressed, ButtonPress(), InputState.previous, SceneId),
              std::tuple(pressed, button, InputState.pad.bits, 2));
  }
  EXPECT_EQ(FakeDisplayLastFrame().pixels, std::vector<uint8_t>(320 * 240, 0));
}

}  // namespace
