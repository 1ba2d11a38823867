// Keyboard and joystick into InputBits: key table, dead zone, buttons and the report.
#include <gtest/gtest.h>

#include <algorithm>
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
  static void PlugJoystick(int32_t count = 1) {
    FakeSetJoystickCount(count);
    FakeSetJoystickCaps(PlatformJoyCaps{0, 100, 0, 100, 0, 100, 0, 100});
    FakeSetJoystickPosition(PlatformJoyPos{50, 50, 50, 50, 0});
    EXPECT_EQ(JoystickInit(), 1);
  }
  // The report's axes and ranges: x, y, z, r, xRange, yRange, zRange, rRange.
  static std::vector<int32_t> Axes(const PadReport& r) {
    return {r.x, r.y, r.z, r.r, r.xRange, r.yRange, r.zRange, r.rRange};
  }
};

TEST_F(Pad, BeforeJoystickInitReadsNothing) {
  FakeSetKeyHeld(VK_LEFT, true);
  PadReport report;
  std::fill_n(&report.bits, 1, 0xFFFFFFFFu);
  report.x = 7;
  EXPECT_EQ(PadRead(&report), 0u);
  const PadReport zero = {};
  EXPECT_EQ(std::memcmp(&report, &zero, sizeof report), 0);
}

struct KeyCase {
  std::vector<int32_t> keys;
  uint32_t bits;
};

class PadKeys : public Pad, public testing::WithParamInterface<KeyCase> {};

TEST_P(PadKeys, HeldKeysSetTheirBits) {
  JoystickInit();
  for (int32_t vk : GetParam().keys) FakeSetKeyHeld(vk, true);
  EXPECT_EQ(PadRead(nullptr), GetParam().bits);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PadKeys,
    testing::Values(KeyCase{{}, 0}, KeyCase{{VK_UP}, INPUT_UP}, KeyCase{{VK_NUMPAD8}, INPUT_UP},
                    KeyCase{{VK_DOWN, VK_NUMPAD2}, INPUT_DOWN},
                    KeyCase{{VK_LEFT, VK_RIGHT}, INPUT_LEFT | INPUT_RIGHT},
                    KeyCase{{VK_UP, VK_DOWN}, INPUT_UP | INPUT_DOWN},
                    KeyCase{{VK_NUMPAD4, VK_NUMPAD6}, INPUT_LEFT | INPUT_RIGHT},
                    KeyCase{{'Z'}, INPUT_BUTTON1}, KeyCase{{VK_SPACE}, INPUT_BUTTON1},
                    KeyCase{{'Z', VK_SPACE}, INPUT_BUTTON1}, KeyCase{{'X'}, INPUT_BUTTON2},
                    KeyCase{{VK_RETURN}, INPUT_BUTTON2}, KeyCase{{VK_SHIFT}, INPUT_BUTTON3},
                    KeyCase{{'Q'}, INPUT_BUTTON4}, KeyCase{{VK_ESCAPE}, INPUT_ESCAPE},
                    KeyCase{{'A', 'W', '1', 0x11}, 0}));  // keys outside the table

TEST_F(Pad, KeyboardReportGivesUnitAxes) {
  JoystickInit();
  FakeSetKeyHeld(VK_LEFT, true);
  FakeSetKeyHeld(VK_DOWN, true);
  PadReport r;
  PadRead(&r);
  EXPECT_EQ(r.bits, INPUT_LEFT | INPUT_DOWN);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{-1, 1, 0, 0, 1, 1, 0, 0}));
  FakeSetKeyHeld(VK_RIGHT, true);  // both sides cancel
  PadRead(&r);
  EXPECT_EQ(r.x, 0);
}

TEST_F(Pad, DriverWithManyJoysticksUsesOne) {
  PlugJoystick(16);
  EXPECT_EQ(std::tuple(JoystickCount, JoyCalibration.xCentre, JoyCalibration.xHalf),
            std::tuple(1, 50, 50));
}

TEST_F(Pad, NoJoystickIsNotAnError) {
  EXPECT_EQ(JoystickInit(), 1);
  EXPECT_EQ(JoystickCount, 0);
  PadRead(nullptr);
  EXPECT_EQ(FakeJoystickReads(), 0);  // nothing to ask
}

TEST_F(Pad, CalibrationFromOddLimits) {
  FakeSetJoystickCount(1);
  FakeSetJoystickCaps(PlatformJoyCaps{10, 65535, 0, 255, 0, 0, 100, 50});
  JoystickInit();
  const JoyAxisCalibration& c = JoyCalibration;
  EXPECT_EQ(std::tuple(c.xHalf, c.xCentre, c.yHalf, c.yCentre, c.zHalf),
            std::tuple((65535 - 10) / 2, 10 + (65535 - 10) / 2, 127, 127, 0));
  // A maximum below the minimum wraps as an unsigned difference.
  EXPECT_EQ(static_cast<uint32_t>(JoyCalibration.rHalf), (50u - 100u) >> 1);
}

TEST_F(Pad, RefusedCapsLeaveTheLimitsAtZero) {
  FakeSetJoystickCount(1);
  FakeSetJoystickCaps(PlatformJoyCaps{0, 100, 0, 100, 0, 0, 0, 0}, false);
  JoystickInit();
  EXPECT_EQ(std::tuple(JoyCalibration.xHalf, JoyCalibration.xCentre), std::tuple(0, 0));
}

struct AxisCase {
  uint32_t x, y;
  uint32_t bits;
};

class PadAxes : public Pad, public testing::WithParamInterface<AxisCase> {};

TEST_P(PadAxes, DeadZoneIsAQuarterOfTheHalfRange) {
  PlugJoystick();
  FakeSetJoystickPosition(PlatformJoyPos{GetParam().x, GetParam().y, 50, 50, 0});
  EXPECT_EQ(PadRead(nullptr), GetParam().bits);
}

// Limits 0..100: centre 50, quarter 12; left below 38, right above 62.
INSTANTIATE_TEST_SUITE_P(Edges, PadAxes,
                         testing::Values(AxisCase{50, 50, 0}, AxisCase{38, 50, 0},
                                         AxisCase{37, 50, INPUT_LEFT}, AxisCase{62, 50, 0},
                                         AxisCase{63, 50, INPUT_RIGHT}, AxisCase{50, 37, INPUT_UP},
                                         AxisCase{50, 63, INPUT_DOWN},
                                         AxisCase{0, 100, INPUT_LEFT | INPUT_DOWN},
                                         AxisCase{100, 0, INPUT_RIGHT | INPUT_UP}));

TEST_F(Pad, JoystickButtonsOneToEight) {
  PlugJoystick();
  for (uint32_t b = 0; b < 9; ++b) {
    FakeSetJoystickPosition(PlatformJoyPos{50, 50, 50, 50, 1u << b});
    const uint32_t expected = b < 8 ? 0x10u << b : 0;  // a ninth button sets nothing
    EXPECT_EQ(PadRead(nullptr), expected) << "button " << b + 1;
  }
}

TEST_F(Pad, KeysAndStickMergeByOr) {
  PlugJoystick();
  FakeSetKeyHeld(VK_LEFT, true);
  FakeSetJoystickPosition(PlatformJoyPos{90, 50, 50, 50, 0});
  EXPECT_EQ(PadRead(nullptr), INPUT_LEFT | INPUT_RIGHT);
}

TEST_F(Pad, JoystickReportIsRelativeToTheCentres) {
  PlugJoystick();
  FakeSetJoystickPosition(PlatformJoyPos{20, 70, 51, 0, 0});
  PadReport r;
  PadRead(&r);
  EXPECT_EQ(r.bits, INPUT_LEFT | INPUT_DOWN);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{-30, 20, 1, -50, 50, 50, 50, 50}));
}

TEST_F(Pad, UnreadableJoystickCountsAsAbsentForTheFrame) {
  PlugJoystick();
  FakeSetJoystickPosition(PlatformJoyPos{0, 0, 0, 0, 0xFF}, false);
  FakeSetKeyHeld(VK_UP, true);
  PadReport r;
  EXPECT_EQ(PadRead(&r), INPUT_UP);
  EXPECT_EQ(Axes(r), (std::vector<int32_t>{0, -1, 0, 0, 1, 1, 0, 0}));
}

}  // namespace
