// What the game reads from the input devices beyond their raw state: game controllers and plain
// joysticks as the axes and buttons of the first joystick, and Return held back under Alt.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

// A device the system knows as a game controller, in its standard layout.
enum ControllerButton : uint32_t {
  CTRL_A = 1u << 0,
  CTRL_B = 1u << 1,
  CTRL_X = 1u << 2,
  CTRL_Y = 1u << 3,
  CTRL_LEFT_SHOULDER = 1u << 4,
  CTRL_RIGHT_SHOULDER = 1u << 5,
  CTRL_BACK = 1u << 6,
  CTRL_START = 1u << 7,
  CTRL_DPAD_UP = 1u << 8,
  CTRL_DPAD_DOWN = 1u << 9,
  CTRL_DPAD_LEFT = 1u << 10,
  CTRL_DPAD_RIGHT = 1u << 11,
  CTRL_GUIDE = 1u << 12,
  CTRL_LEFT_STICK = 1u << 13,
  CTRL_RIGHT_STICK = 1u << 14
};
constexpr int32_t CONTROLLER_BUTTON_COUNT = 15;
struct ControllerState {
  int16_t leftX, leftY, rightX, rightY;  // -32768 (left, up) to 32767
  uint32_t pressed;                      // ControllerButton bits
  int16_t leftTrigger, rightTrigger;     // 0 to 32767
};

// What each control of the game is bound to on a game controller: buttons, and halves of axes
// (bit 2 * axis for its negative side, 2 * axis + 1 for its positive side; axes in the order
// leftx, lefty, rightx, righty, lefttrigger, righttrigger). Controls: up, down, left, right,
// then buttons 1 to 8.
constexpr int32_t PAD_CONTROL_COUNT = 12;
constexpr int32_t CONTROLLER_AXIS_COUNT = 6;
struct ControllerBindings {
  uint32_t buttons[PAD_CONTROL_COUNT];
  uint32_t axisHalves[PAD_CONTROL_COUNT];
};
// d-pad and left stick to move, A, B, X, Y, shoulders and Back to buttons 1 to 7. Start is left
// free: it pauses the game.
ControllerBindings DefaultControllerBindings();
extern ControllerBindings PadBindings;  // what ControllerPosition reads
// Start pauses the game unless a control is bound to it.
bool ControllerStartPauses();
// One binding by SDL's controller names ("a", "dpup", "start", "-lefty", "+righttrigger", ...):
// adds it to control's entry. False for a name that is not a button or axis half.
bool AddControllerBinding(ControllerBindings* b, int32_t control, std::string_view name);
// The bindings of one control as a list of names joined by ", ".
std::string ControllerBindingNames(const ControllerBindings& b, int32_t control);

// Any other joystick: its first four axes, its first hat and its buttons as they come.
enum HatDirection : uint8_t { HAT_UP = 1, HAT_RIGHT = 2, HAT_DOWN = 4, HAT_LEFT = 8 };
struct RawJoystickState {
  int32_t axisCount;  // axes the device has
  int16_t axes[4];
  bool hasHat;
  uint8_t hat;  // HatDirection bits
  uint32_t buttons;
};

// Both kinds report four axes from 0 to 65535, so the game's dead zone (a quarter of the half
// range around the centre) applies to sticks; the d-pad or hat holds its axes at their limits.
// The range is the same for every device, so the slot's calibration holds for whatever device is
// plugged into it later.
PlatformJoyCaps JoystickCaps();
PlatformJoyPos ControllerPosition(const ControllerState& state);
PlatformJoyPos RawJoystickPosition(const RawJoystickState& state);

// Alt+Return switches the full screen: that Return must not reach the game as a button, not even
// when Alt is let go first. Note every Return press and release; ask whether Return is hidden.
constexpr int32_t RETURN_KEY_CODE = 0x0D;  // both Return keys
struct AltReturnLatch {
  bool swallowed = false;  // Return went down while Alt was held and is not up yet
};
void AltReturnNote(AltReturnLatch* latch, bool returnDown, bool altHeld);
bool AltReturnHidden(const AltReturnLatch& latch, bool altHeld);
