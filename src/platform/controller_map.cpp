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

PlatformJoyCaps JoystickCaps() {
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

PlatformJoyPos RawJoystickPosition(const RawJoystickState& s) {
  // An axis the device lacks stands still at its centre.
  const auto axis = [&](int32_t i) { return i < s.axisCount ? AxisWord(s.axes[i]) : AXIS_CENTRE; };
  PlatformJoyPos pos{};
  const uint8_t hat = s.hasHat ? s.hat : 0;
  pos.x = DirectedAxis(axis(0), (hat & HAT_LEFT) != 0, (hat & HAT_RIGHT) != 0);
  pos.y = DirectedAxis(axis(1), (hat & HAT_UP) != 0, (hat & HAT_DOWN) != 0);
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
