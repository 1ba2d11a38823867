// What the game reads from the input devices beyond their raw state: game controllers and plain
// joysticks as the axes and buttons of the first joystick, and Return held back under Alt.
#include "platform/controller_map.h"

namespace {

constexpr uint32_t AXIS_MAX = 65535;
constexpr uint32_t AXIS_CENTRE = 32768;  // where a signed 0 lands

uint32_t AxisWord(int16_t v) { return static_cast<uint32_t>(int32_t{v} + 32768); }

// A digital direction wins over the stick on its axis; both ways at once cancel out.
uint32_t DirectedAxis(uint32_t stick, bool low, bool high) {
  if (low == high) return low ? AXIS_CENTRE : stick;
  return low ? 0 : AXIS_MAX;
}

}  // namespace

PlatformJoyCaps ControllerCaps() {
  return PlatformJoyCaps{0, AXIS_MAX, 0, AXIS_MAX, 0, AXIS_MAX, 0, AXIS_MAX};
}

PlatformJoyPos ControllerPosition(const ControllerState& s) {
  PlatformJoyPos pos{};
  pos.x = DirectedAxis(AxisWord(s.leftX), (s.pressed & CTRL_DPAD_LEFT) != 0,
                       (s.pressed & CTRL_DPAD_RIGHT) != 0);
  pos.y = DirectedAxis(AxisWord(s.leftY), (s.pressed & CTRL_DPAD_UP) != 0,
                       (s.pressed & CTRL_DPAD_DOWN) != 0);
  pos.z = AxisWord(s.rightX);
  pos.r = AxisWord(s.rightY);
  pos.buttons = s.pressed & 0xFF;  // A, B, X, Y, shoulders, Back, Start: buttons 1 to 8
  return pos;
}

PlatformJoyCaps RawJoystickCaps(int32_t axisCount, bool hasHat) {
  // An axis the device lacks has no range, so it never leaves its centre; a hat needs x and y.
  const auto top = [&](int32_t axis) {
    return axis < axisCount || (hasHat && axis < 2) ? AXIS_MAX : 0u;
  };
  return PlatformJoyCaps{0, top(0), 0, top(1), 0, top(2), 0, top(3)};
}

PlatformJoyPos RawJoystickPosition(const RawJoystickState& s) {
  const auto axis = [&](int32_t i) { return i < s.axisCount ? AxisWord(s.axes[i]) : 0u; };
  // A hat on a device without the axis stands on the centre the missing axis is given.
  const auto rest = [&](int32_t i) { return i < s.axisCount ? axis(i) : AXIS_MAX >> 1; };
  PlatformJoyPos pos{};
  const uint8_t hat = s.hasHat ? s.hat : 0;
  pos.x = s.hasHat ? DirectedAxis(rest(0), (hat & HAT_LEFT) != 0, (hat & HAT_RIGHT) != 0) : axis(0);
  pos.y = s.hasHat ? DirectedAxis(rest(1), (hat & HAT_UP) != 0, (hat & HAT_DOWN) != 0) : axis(1);
  pos.z = axis(2);
  pos.r = axis(3);
  pos.buttons = s.buttons;
  return pos;
}

void AltReturnNote(AltReturnLatch* latch, bool returnDown, bool altHeld) {
  if (!returnDown) {
    latch->swallowed = false;
  } else if (altHeld) {
    latch->swallowed = true;
  }
}

bool AltReturnHidden(const AltReturnLatch& latch, bool altHeld) {
  return altHeld || latch.swallowed;
}
