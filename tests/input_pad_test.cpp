// Keyboard and joystick into InputBits: key table, calibration, dead zone, buttons and the report.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "input/pad.h"
#include "platform/fake/fake_platform.h"
#include "platform/platform.h"

namespace {

class Pad : public testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    JoystickCount = -1;
    JoyCalibration = {};
  }
  // A joystick whose every axis runs from 0 to 100, centred, after JoystickInit.
  static void PlugJoystick() {
    FakeSetJoystickCount(16);  // a driver may offer many: the first is used
    FakeSetJoystickCaps(PlatformJoyCaps{0, 100, 0, 100, 0, 100, 0, 100});
    FakeSetJoystickPosition(PlatformJoyPos{50, 50, 50, 50, 0});
    EXPECT_EQ(JoystickInit(), 1);
    EXPECT_EQ(JoystickCount, 1);
  }
  static uint32_t ReadAt(uint32_t x, uint32_t y, uint32_t buttons = 0) {
    FakeSetJoystickPosition(PlatformJoyPos{x, y, 50, 50, buttons});
    return PadRead(nullptr);
  }
  // The report's axes and ranges: x, y, z, r, xRange, yRange, zRange, rRange.
  static std::vector<int32_t> Axes(const PadReport& r) {
    return {r.x, r.y, r.z, r.r, r.xRange, r.yRange, r.zRange, r.rRange};
  }
};

TEST_F(Pad, BeforeJoystickInitReadsNothingAndClearsTheReport) {
  FakeSetKeyHeld(VK_LEFT, true);
  PadReport report;
  std::memset(&report, 0xFF, sizeof report);
  EXPECT_EQ(PadRead(&report), 0u);
  const PadReport zero = {};
  EXPECT_EQ(std::memcmp(&report, &zero, sizeof report), 0);
}

TEST_F(Pad, HeldKeysSetTheirBitsAndGiveUnitAxes) {
  EXPECT_EQ(JoystickInit(), 1);  // no joystick is not an error
  EXPECT_EQ(JoystickCount, 0);
  const std::pair<std::vector<int32_t>, uint32_t> cases[] = {
      {{VK_NUMPAD8, VK_NUMPAD2}, INPUT_UP | INPUT_DOWN},
      {{VK_LEFT, VK_NUMPAD6}, INPUT_LEFT | INPUT_RIGHT},
      {{'Z', VK_SPACE}, INPUT_BUTTON1},
      {{VK_RETURN}, INPUT_BUTTON2},
      {{VK_SHIFT, 'Q', VK_ESCAPE}, INPUT_BUTTON3 | INPUT_BUTTON4 | INPUT_ESCAPE},
      {{'A', 'W', '1', 0x11}, 0},  // keys outside the table
  };
  for (const auto& [keys, bits] : cases) {
    FakeSystemReset();
    for (int32_t vk : keys) FakeSetKeyHeld(vk, true);
    EXPECT_EQ(PadRead(nullptr), bits) << keys[0];
  }
  EXPECT_EQ(FakeJoystickReads(), 0);  // nothing to ask
  FakeSystemReset();
  FakeSetKeyHeld(VK_LEFT, true);
  FakeSetKeyHeld(VK_DOWN, true);
  PadReport r;
  PadRead(&r);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{-1, 1, 0, 0, 1, 1, 0, 0}));
}

// Limits 0..100: centre 50, a quarter of the half range is 12; left below 38, right above 62.
TEST_F(Pad, DeadZoneIsAQuarterOfTheHalfRangeAndKeysMergeByOr) {
  PlugJoystick();
  const std::tuple<uint32_t, uint32_t, uint32_t> cases[] = {
      {38, 62, 0},        {37, 50, INPUT_LEFT}, {63, 50, INPUT_RIGHT},
      {50, 37, INPUT_UP}, {50, 63, INPUT_DOWN}, {0, 100, INPUT_LEFT | INPUT_DOWN},
  };
  for (const auto& [x, y, bits] : cases) EXPECT_EQ(ReadAt(x, y), bits) << x << "," << y;
  FakeSetKeyHeld(VK_LEFT, true);
  EXPECT_EQ(ReadAt(90, 50), INPUT_LEFT | INPUT_RIGHT);
}

TEST_F(Pad, JoystickButtonsOneToEightAndNoNinth) {
  PlugJoystick();
  for (uint32_t b = 0; b < 9; ++b) {
    EXPECT_EQ(ReadAt(50, 50, 1u << b), b < 8 ? INPUT_BUTTON1 << b : 0) << "button " << b + 1;
  }
}

TEST_F(Pad, JoystickReportIsRelativeToTheCentresAndAnUnreadableOneIsAbsent) {
  PlugJoystick();
  FakeSetJoystickPosition(PlatformJoyPos{20, 70, 51, 0, 0});
  PadReport r;
  EXPECT_EQ(PadRead(&r), INPUT_LEFT | INPUT_DOWN);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{-30, 20, 1, -50, 50, 50, 50, 50}));
  FakeSetJoystickPosition(PlatformJoyPos{0, 0, 0, 0, 0xFF}, false);
  FakeSetKeyHeld(VK_UP, true);
  EXPECT_EQ(PadRead(&r), INPUT_UP);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{0, -1, 0, 0, 1, 1, 0, 0}));
}

}  // namespace
