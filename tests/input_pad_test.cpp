// Keyboard, joysticks, hats and game controllers into InputBits: key table, dead zone, buttons,
// the report, and the Return of Alt+Return kept from the game.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "input/pad.h"
#include "platform/controller_map.h"
#include "platform/fake/fake_platform.h"

namespace {

constexpr uint32_t DIRECTIONS = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT;

class Pad : public testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    JoystickCount = -1;
  }
  static void Plug(const PlatformJoyCaps& caps, int32_t count = 1) {
    FakeSetJoystickCount(count);
    FakeSetJoystickCaps(caps);
    EXPECT_EQ(JoystickInit(), 1);
  }
  static uint32_t Read(const PlatformJoyPos& pos) {
    FakeSetJoystickPosition(pos);
    return PadRead(nullptr);
  }
  // The report's axes and ranges: x, y, z, r, xRange, yRange, zRange, rRange.
  static std::vector<int32_t> Axes(const PadReport& r) {
    return {r.x, r.y, r.z, r.r, r.xRange, r.yRange, r.zRange, r.rRange};
  }
};

TEST_F(Pad, HeldKeysSetTheirBitsButOnlyAfterJoystickInit) {
  FakeSetKeyHeld(VK_LEFT, true);
  PadReport report;
  std::memset(&report, 0xFF, sizeof report);
  EXPECT_EQ(PadRead(&report), 0u);
  const PadReport zero = {};
  EXPECT_EQ(std::memcmp(&report, &zero, sizeof report), 0);
  EXPECT_EQ(JoystickInit(), 1);  // no joystick is not an error
  EXPECT_EQ(JoystickCount, 0);
  const std::pair<std::vector<int32_t>, uint32_t> cases[] = {
      {{VK_NUMPAD8, VK_NUMPAD2}, INPUT_UP | INPUT_DOWN},
      {{VK_LEFT, VK_NUMPAD6}, INPUT_LEFT | INPUT_RIGHT},
      {{'Z', VK_SPACE}, INPUT_BUTTON1},
      {{VK_SHIFT, 'Q', VK_ESCAPE}, INPUT_BUTTON3 | INPUT_BUTTON4 | INPUT_ESCAPE},
      {{'A', 'W', '1', 0x11}, 0},  // keys outside the table
  };
  for (const auto& [keys, bits] : cases) {
    FakeSystemReset();
    for (int32_t vk : keys) FakeSetKeyHeld(vk, true);
    EXPECT_EQ(PadRead(nullptr), bits) << keys[0];
  }
  EXPECT_EQ(FakeJoystickReads(), 0);  // nothing to ask
}

// Limits 0..100: centre 50, a quarter of the half range is 12; left below 38, right above 62.
TEST_F(Pad, JoystickDeadZoneButtonsAndReportRelativeToTheCentres) {
  Plug(PlatformJoyCaps{0, 100, 0, 100, 0, 100, 0, 100}, 16);  // a driver may offer many
  EXPECT_EQ(JoystickCount, 1);
  const std::tuple<uint32_t, uint32_t, uint32_t> cases[] = {
      {38, 62, 0},        {37, 50, INPUT_LEFT}, {63, 50, INPUT_RIGHT},
      {50, 37, INPUT_UP}, {50, 63, INPUT_DOWN},
  };
  for (const auto& [x, y, bits] : cases) EXPECT_EQ(Read({x, y, 50, 50, 0}), bits) << x << "," << y;
  for (uint32_t b = 0; b < 9; ++b) {  // eight buttons, no ninth
    EXPECT_EQ(Read({50, 50, 50, 50, 1u << b}), b < 8 ? INPUT_BUTTON1 << b : 0) << b + 1;
  }
  FakeSetKeyHeld(VK_UP, true);
  FakeSetJoystickPosition(PlatformJoyPos{20, 70, 51, 0, 0});
  PadReport r;
  EXPECT_EQ(PadRead(&r), INPUT_LEFT | INPUT_DOWN | INPUT_UP);  // keys and stick merge
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{-30, 20, 1, -50, 50, 50, 50, 50}));
  // Unreadable: absent for the frame, and the keys give unit axes.
  FakeSetJoystickPosition(PlatformJoyPos{0, 0, 0, 0, 0xFF}, false);
  EXPECT_EQ(PadRead(&r), INPUT_UP);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{0, -1, 0, 0, 1, 1, 0, 0}));
}

// The calibration gives centre 32767 and half range 32767, so a quarter is 8191: the stick
// (signed value + 32768) must pass below 24576 or above 40958. The d-pad wins on its own axis.
TEST_F(Pad, ControllerStickUsesTheDeadZoneTheDpadWinsAndButtonsAreOneToSeven) {
  Plug(JoystickCaps());
  const auto read = [](int16_t x, int16_t y, uint32_t pressed) {
    return Read(ControllerPosition(ControllerState{x, y, 0, 0, pressed, 0, 0}));
  };
  const std::tuple<int16_t, int16_t, uint32_t, uint32_t> cases[] = {
      {-8192, 8190, 0, 0},
      {-8193, 8191, 0, INPUT_LEFT | INPUT_DOWN},
      {32767, 32767, CTRL_DPAD_UP, INPUT_UP | INPUT_RIGHT},
      {-32768, 0, CTRL_DPAD_LEFT | CTRL_DPAD_RIGHT, 0},  // both ways at once cancel out
  };
  for (const auto& [x, y, pressed, want] : cases) {
    EXPECT_EQ(read(x, y, pressed) & DIRECTIONS, want) << x << "," << y;
  }
  const uint32_t buttons[] = {
      CTRL_A,    CTRL_B,    CTRL_X, CTRL_Y, CTRL_LEFT_SHOULDER, CTRL_RIGHT_SHOULDER,
      CTRL_BACK, CTRL_START};
  // Start is left free by default: it pauses the game instead of pressing button 8.
  for (uint32_t i = 0; i < 8; ++i)
    EXPECT_EQ(read(0, 0, buttons[i]), i < 7 ? INPUT_BUTTON1 << i : 0) << i;
}

TEST_F(Pad, JoystickHatGivesDirectionsAndOnlyEightButtonsPass) {
  const std::tuple<int32_t, int16_t, uint8_t, uint32_t> cases[] = {
      {2, -32768, HAT_RIGHT, INPUT_RIGHT},                     // the hat wins over the stick
      {2, -32768, 0, INPUT_LEFT},                              // centred hat: the axes as they are
      {0, 0, HAT_DOWN | HAT_RIGHT, INPUT_DOWN | INPUT_RIGHT},  // a hat without axes
      {1, 32767, HAT_UP, INPUT_RIGHT | INPUT_UP},              // one axis: the hat alone gives y
  };
  for (const auto& [axes, x, hat, want] : cases) {
    Plug(JoystickCaps());
    const RawJoystickState s{axes, {x, 0, 0, 0}, true, hat, 0};
    EXPECT_EQ(Read(RawJoystickPosition(s)) & DIRECTIONS, want) << axes << " axes, hat " << +hat;
  }
  const RawJoystickState pressed{2, {0, 0, 0, 0}, false, 0, 0x1u | 0x80u | 0x100u};
  EXPECT_EQ(Read(RawJoystickPosition(pressed)), INPUT_BUTTON1 | INPUT_BUTTON8);
}

// Alt+Return switches the full screen; the Return of it must not press button 2 at any point.
TEST_F(Pad, ReturnUnderAltNeverPressesButtonTwo) {
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
