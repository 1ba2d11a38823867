// What the game reads from the input devices beyond their raw state: game controllers and plain
// joysticks as the axes and buttons of the first joystick, and Return held back under Alt.
#include "platform/controller_map.h"

#include <algorithm>
#include <cctype>

namespace {

// SDL's own names, in the order of the ControllerButton bits and of the axes.
constexpr const char* BUTTON_NAMES[CONTROLLER_BUTTON_COUNT] = {
    "a",    "b",      "x",      "y",       "leftshoulder", "rightshoulder", "back",      "start",
    "dpup", "dpdown", "dpleft", "dpright", "guide",        "leftstick",     "rightstick"};
constexpr const char* AXIS_NAMES[CONTROLLER_AXIS_COUNT] = {
    "leftx", "lefty", "rightx", "righty", "lefttrigger", "righttrigger"};
constexpr int32_t FIRST_TRIGGER = 4;
enum PadControl : int32_t { PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_BUTTON1 };
// A trigger or stick bound to a button counts once it is pushed halfway.
constexpr int32_t HALF_PUSH = 16384;

int32_t AxisValue(const ControllerState& s, int32_t axis) {
  const int16_t values[CONTROLLER_AXIS_COUNT] = {s.leftX,  s.leftY,       s.rightX,
                                                 s.rightY, s.leftTrigger, s.rightTrigger};
  return values[axis];
}

// How far the axis halves are pushed: the furthest of them, 0 to 32768.
int32_t Deflection(const ControllerState& s, uint32_t halves) {
  int32_t most = 0;
  for (int32_t h = 0; h < 2 * CONTROLLER_AXIS_COUNT; ++h) {
    if ((halves & (1u << h)) == 0) continue;
    const int32_t v = AxisValue(s, h / 2);
    most = std::max(most, h % 2 == 0 ? -v : v);
  }
  return most;
}

bool ButtonHeld(const ControllerState& s, int32_t control) {
  return (s.pressed & PadBindings.buttons[control]) != 0;
}

// The axis word of a direction pair from the axis halves bound to its two ways.
uint32_t StickWord(const ControllerState& s, int32_t low, int32_t high) {
  const int32_t v = 32768 + Deflection(s, PadBindings.axisHalves[high]) -
                    Deflection(s, PadBindings.axisHalves[low]);
  return static_cast<uint32_t>(std::clamp(v, 0, 65535));
}

uint32_t HalfBit(int32_t axis, bool positive) { return 1u << (2 * axis + (positive ? 1 : 0)); }

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

ControllerBindings DefaultControllerBindings() {
  ControllerBindings b{};
  b.buttons[PAD_UP] = CTRL_DPAD_UP;
  b.buttons[PAD_DOWN] = CTRL_DPAD_DOWN;
  b.buttons[PAD_LEFT] = CTRL_DPAD_LEFT;
  b.buttons[PAD_RIGHT] = CTRL_DPAD_RIGHT;
  b.axisHalves[PAD_UP] = HalfBit(1, false);
  b.axisHalves[PAD_DOWN] = HalfBit(1, true);
  b.axisHalves[PAD_LEFT] = HalfBit(0, false);
  b.axisHalves[PAD_RIGHT] = HalfBit(0, true);
  const uint32_t buttons[] = {CTRL_A,    CTRL_B,    CTRL_X, CTRL_Y, CTRL_LEFT_SHOULDER,
                              CTRL_RIGHT_SHOULDER, CTRL_BACK};
  for (int32_t i = 0; i < 7; ++i) b.buttons[PAD_BUTTON1 + i] = buttons[i];
  return b;
}

ControllerBindings PadBindings = DefaultControllerBindings();

bool ControllerStartPauses() {
  for (uint32_t bound : PadBindings.buttons)
    if ((bound & CTRL_START) != 0) return false;
  return true;
}

bool AddControllerBinding(ControllerBindings* b, int32_t control, std::string_view name) {
  if (control < 0 || control >= PAD_CONTROL_COUNT || name.empty()) return false;
  std::string word(name);
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (int32_t i = 0; i < CONTROLLER_BUTTON_COUNT; ++i) {
    if (word != BUTTON_NAMES[i]) continue;
    b->buttons[control] |= 1u << i;
    return true;
  }
  const char sign = word[0];
  if (sign == '+' || sign == '-') word.erase(0, 1);
  for (int32_t a = 0; a < CONTROLLER_AXIS_COUNT; ++a) {
    if (word != AXIS_NAMES[a]) continue;
    // A trigger has one side only; a stick's side must be said.
    if (a >= FIRST_TRIGGER ? sign == '-' : sign != '+' && sign != '-') return false;
    b->axisHalves[control] |= HalfBit(a, sign != '-');
    return true;
  }
  return false;
}

std::string ControllerBindingNames(const ControllerBindings& b, int32_t control) {
  std::string names;
  const auto add = [&](const std::string& name) { names += (names.empty() ? "" : ", ") + name; };
  for (int32_t i = 0; i < CONTROLLER_BUTTON_COUNT; ++i)
    if ((b.buttons[control] & (1u << i)) != 0) add(BUTTON_NAMES[i]);
  for (int32_t h = 0; h < 2 * CONTROLLER_AXIS_COUNT; ++h) {
    if ((b.axisHalves[control] & (1u << h)) == 0) continue;
    const bool trigger = h / 2 >= FIRST_TRIGGER;
    add(std::string(trigger ? "" : h % 2 == 0 ? "-" : "+") + AXIS_NAMES[h / 2]);
  }
  return names;
}

PlatformJoyPos ControllerPosition(const ControllerState& s) {
  PlatformJoyPos pos{};
  pos.x = DirectedAxis(StickWord(s, PAD_LEFT, PAD_RIGHT), ButtonHeld(s, PAD_LEFT),
                       ButtonHeld(s, PAD_RIGHT));
  pos.y = DirectedAxis(StickWord(s, PAD_UP, PAD_DOWN), ButtonHeld(s, PAD_UP),
                       ButtonHeld(s, PAD_DOWN));
  pos.z = AxisWord(s.rightX);
  pos.r = AxisWord(s.rightY);
  for (int32_t i = 0; i < 8; ++i) {
    const int32_t control = PAD_BUTTON1 + i;
    if (ButtonHeld(s, control) || Deflection(s, PadBindings.axisHalves[control]) >= HALF_PUSH)
      pos.buttons |= 1u << i;
  }
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
