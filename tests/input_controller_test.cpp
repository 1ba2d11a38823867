// Game controllers, plain joysticks with a hat, and Alt+Return, as the game's InputBits see them.
#include <gtest/gtest.h>

#include <tuple>

#include "input/pad.h"
#include "platform/controller_map.h"
#include "platform/fake/fake_platform.h"

namespace {

class Devices : public testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    JoystickCount = -1;
  }
  static void Plug(const PlatformJoyCaps& caps) {
    FakeSetJoystickCount(1);
    FakeSetJoystickCaps(caps);
    JoystickInit();
  }
  static uint32_t Read(const PlatformJoyPos& pos) {
    FakeSetJoystickPosition(pos);
    return PadRead(nullptr);
  }
  static uint32_t ReadController(int16_t x, int16_t y, uint32_t pressed) {
    return Read(ControllerPosition(ControllerState{x, y, 0, 0, pressed}));
  }
};

constexpr uint32_t DIRECTIONS = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT;

// The calibration gives centre 32767 and half range 32767, so a quarter is 8191: the stick
// (signed value + 32768) must pass below 24576 or above 40958. The d-pad wins on its own axis.
TEST_F(Devices, ControllerStickUsesTheDeadZoneTheDpadWinsAndButtonsAreOneToEight) {
  Plug(ControllerCaps());
  const std::tuple<int16_t, int16_t, uint32_t, uint32_t> cases[] = {
      {-8192, 8190, 0, 0},
      {-8193, 8191, 0, INPUT_LEFT | INPUT_DOWN},
      {32767, 32767, CTRL_DPAD_UP, INPUT_UP | INPUT_RIGHT},
      {-32768, 0, CTRL_DPAD_LEFT | CTRL_DPAD_RIGHT, 0},  // both ways at once cancel out
  };
  for (const auto& [x, y, pressed, want] : cases) {
    EXPECT_EQ(ReadController(x, y, pressed) & DIRECTIONS, want) << x << "," << y;
  }
  const uint32_t buttons[] = {
      CTRL_A,    CTRL_B,    CTRL_X, CTRL_Y, CTRL_LEFT_SHOULDER, CTRL_RIGHT_SHOULDER,
      CTRL_BACK, CTRL_START};
  uint32_t all = 0;
  for (uint32_t b : buttons) all |= b;
  for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(ReadController(0, 0, buttons[i]), INPUT_BUTTON1 << i);
  EXPECT_EQ(ReadController(0, 0, all), INPUT_ANY_BUTTON);
}

TEST_F(Devices, JoystickHatGivesDirectionsAndOnlyEightButtonsPass) {
  const std::tuple<int32_t, int16_t, uint8_t, uint32_t> cases[] = {
      {2, -32768, HAT_RIGHT, INPUT_RIGHT},                     // the hat wins over the stick
      {2, -32768, 0, INPUT_LEFT},                              // centred hat: the axes as they are
      {0, 0, HAT_DOWN | HAT_RIGHT, INPUT_DOWN | INPUT_RIGHT},  // a hat without axes
      {1, 32767, HAT_UP, INPUT_RIGHT | INPUT_UP},              // one axis: the hat alone gives y
  };
  for (const auto& [axes, x, hat, want] : cases) {
    SetUp();
    Plug(RawJoystickCaps(axes, true));
    const RawJoystickState s{axes, {x, 0, 0, 0}, true, hat, 0};
    EXPECT_EQ(Read(RawJoystickPosition(s)) & DIRECTIONS, want) << axes << " axes, hat " << +hat;
  }
  const RawJoystickState pressed{2, {0, 0, 0, 0}, false, 0, 0x1u | 0x80u | 0x100u};
  EXPECT_EQ(Read(RawJoystickPosition(pressed)), INPUT_BUTTON1 | INPUT_BUTTON8);
}

// Alt+Return switches the full screen; the Return of it must not press button 2 at any point.
TEST_F(Devices, ReturnUnderAltNeverPressesButtonTwo) {
  JoystickInit();
  const std::tuple<int32_t, bool, uint32_t> steps[] = {
      {VK_MENU, true, 0},
      {VK_RETURN, true, 0},
      {'X', true, INPUT_BUTTON2},  // the other key of button 2 still works
      {'X', false, 0},
      {VK_MENU, false, 0},  // Alt let go first: the same Return stays hidden
      {VK_RETURN, false, 0},
      {VK_RETURN, true, INPUT_BUTTON2},  // a new Return alone is button 2 again
      {VK_MENU, true, 0},                // hidden while Alt is held
      {VK_MENU, false, INPUT_BUTTON2},   // but it was not part of an Alt+Return
  };
  for (const auto& [key, held, want] : steps) {
    FakeSetKeyHeld(key, held);
    EXPECT_EQ(PadRead(nullptr) & INPUT_BUTTON2, want) << key << (held ? " down" : " up");
  }
}

}  // namespace
