// Keyboard and first joystick merged into one bit mask per frame.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/input_bits.h"

// Virtual-key codes the key table uses.
constexpr int32_t VK_RETURN = 0x0D;
constexpr int32_t VK_SHIFT = 0x10;
constexpr int32_t VK_ESCAPE = 0x1B;
constexpr int32_t VK_SPACE = 0x20;
constexpr int32_t VK_LEFT = 0x25;
constexpr int32_t VK_UP = 0x26;
constexpr int32_t VK_RIGHT = 0x27;
constexpr int32_t VK_DOWN = 0x28;
constexpr int32_t VK_NUMPAD2 = 0x62;
constexpr int32_t VK_NUMPAD4 = 0x64;
constexpr int32_t VK_NUMPAD6 = 0x66;
constexpr int32_t VK_NUMPAD8 = 0x68;

struct KeyMapEntry {
  uint32_t bit;  // 0 ends the table
  int32_t virtualKey;
};
extern const KeyMapEntry KeyMap[16];

// The table the keyboard is read with: KeyMap unless the player bound other keys; ends with a
// zero entry.
constexpr int32_t KEY_BINDING_ROOM = 64;
extern std::array<KeyMapEntry, KEY_BINDING_ROOM + 1> KeyBindings;
// Replaces the bindings of the game's controls; Escape stays the quit key whatever is given, and
// entries past the room are dropped.
void SetKeyBindings(const std::vector<KeyMapEntry>& entries);
// Back to KeyMap, and P as the pause key.
void ResetKeyBindings();

// Keys that pause and resume the game besides Pause itself (P unless the player chose others);
// a zero ends the list.
constexpr int32_t PAUSE_KEY_ROOM = 8;
extern std::array<int32_t, PAUSE_KEY_ROOM + 1> PauseKeys;
void SetPauseKeys(const std::vector<int32_t>& keys);
bool IsPauseKey(int32_t virtualKey);

struct JoyAxisCalibration {
  int32_t xCentre, xHalf, yCentre, yHalf, zCentre, zHalf, rCentre, rHalf;
};

extern int32_t JoystickCount;  // -1 until JoystickInit, then 0 or 1
extern JoyAxisCalibration JoyCalibration;

// Run once at start-up; a missing joystick is not an error, so it always returns 1.
int32_t JoystickInit();
// The InputBits of this moment (0 before JoystickInit); fills report when it is not null.
uint32_t PadRead(PadReport* report);
