// Keyboard and first joystick read into InputBits, with the joystick's dead zone.
#include "input/pad.h"

#include "input/replay.h"
#include "platform/platform.h"

const KeyMapEntry KeyMap[16] = {
    {INPUT_UP, VK_UP},         {INPUT_UP, VK_NUMPAD8},
    {INPUT_DOWN, VK_DOWN},     {INPUT_DOWN, VK_NUMPAD2},
    {INPUT_LEFT, VK_LEFT},     {INPUT_LEFT, VK_NUMPAD4},
    {INPUT_RIGHT, VK_RIGHT},   {INPUT_RIGHT, VK_NUMPAD6},
    {INPUT_BUTTON1, 'Z'},      {INPUT_BUTTON1, VK_SPACE},
    {INPUT_BUTTON2, 'X'},      {INPUT_BUTTON2, VK_RETURN},
    {INPUT_BUTTON3, VK_SHIFT}, {INPUT_BUTTON4, 'Q'},
    {INPUT_ESCAPE, VK_ESCAPE}, {0, 0},
};

namespace {
constexpr std::array<KeyMapEntry, KEY_BINDING_ROOM + 1> DefaultKeyBindings() {
  std::array<KeyMapEntry, KEY_BINDING_ROOM + 1> table{};
  for (size_t i = 0; i < std::size(KeyMap); ++i) table[i] = KeyMap[i];
  return table;
}
}  // namespace

std::array<KeyMapEntry, KEY_BINDING_ROOM + 1> KeyBindings = DefaultKeyBindings();

void SetKeyBindings(const std::vector<KeyMapEntry>& entries) {
  KeyBindings = {};
  size_t n = 0;
  KeyBindings[n++] = {INPUT_ESCAPE, VK_ESCAPE};
  for (const KeyMapEntry& e : entries) {
    if (n == KEY_BINDING_ROOM) break;
    if (e.bit != 0 && e.bit != INPUT_ESCAPE) KeyBindings[n++] = e;
  }
}

std::array<int32_t, PAUSE_KEY_ROOM + 1> PauseKeys = {'P'};

void ResetKeyBindings() {
  KeyBindings = DefaultKeyBindings();
  PauseKeys = {'P'};
}

void SetPauseKeys(const std::vector<int32_t>& keys) {
  PauseKeys = {};
  for (size_t i = 0; i < keys.size() && i < PAUSE_KEY_ROOM; ++i) PauseKeys[i] = keys[i];
}

bool IsPauseKey(int32_t virtualKey) {
  if (virtualKey == VK_PAUSE) return true;
  for (const int32_t key : PauseKeys) {
    if (key == 0) break;
    if (key == virtualKey) return true;
  }
  return false;
}

int32_t JoystickCount = -1;
JoyAxisCalibration JoyCalibration = {};

namespace {

// The half range is computed unsigned, as the device reports its limits unsigned.
void CalibrateAxis(uint32_t minimum, uint32_t maximum, int32_t* centre, int32_t* half) {
  const uint32_t h = (maximum - minimum) >> 1;
  *half = static_cast<int32_t>(h);
  *centre = static_cast<int32_t>(minimum + h);
}

uint32_t ReadKeys() {
  uint32_t bits = 0;
  for (const KeyMapEntry* e = KeyBindings.data(); e->bit != 0; ++e) {
    if (PlatformKeyHeld(e->virtualKey)) bits |= e->bit;
  }
  return bits;
}

// 32-bit wrapping difference, as the device's unsigned words compare once read as signed.
int32_t Minus(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// One axis past its dead zone (a quarter of the half range) sets the low or the high bit.
uint32_t AxisBits(int32_t position, int32_t centre, int32_t half, uint32_t low, uint32_t high) {
  const int32_t quarter = half / 4;
  if (position < Minus(centre, quarter)) return low;
  if (position > Minus(centre, -quarter)) return high;
  return 0;
}

int32_t KeyAxis(uint32_t bits, uint32_t low, uint32_t high) {
  return ((bits & low) != 0 ? -1 : 0) + ((bits & high) != 0 ? 1 : 0);
}

}  // namespace

int32_t JoystickInit() {
  JoystickCount = PlatformJoystickCount();
  if (JoystickCount > 1) JoystickCount = 1;
  if (JoystickCount < 1) return 1;
  PlatformJoyCaps caps = {};
  if (!PlatformJoystickCaps(0, &caps)) caps = {};
  JoyAxisCalibration& c = JoyCalibration;
  CalibrateAxis(caps.xMin, caps.xMax, &c.xCentre, &c.xHalf);
  CalibrateAxis(caps.yMin, caps.yMax, &c.yCentre, &c.yHalf);
  CalibrateAxis(caps.zMin, caps.zMax, &c.zCentre, &c.zHalf);
  CalibrateAxis(caps.rMin, caps.rMax, &c.rCentre, &c.rHalf);
  return 1;
}

uint32_t PadRead(PadReport* report) {
  if (report != nullptr) *report = {};
  if (JoystickCount < 0) return 0;
  uint32_t bits = ReadKeys();
  PlatformJoyPos pos = {};
  // A replay stands in for keyboard and joystick alike.
  const bool valid = !ReplayIsPlaying() && JoystickCount > 0 && PlatformJoystickRead(0, &pos);
  const JoyAxisCalibration& c = JoyCalibration;
  const int32_t x = static_cast<int32_t>(pos.x), y = static_cast<int32_t>(pos.y);
  if (valid) {
    bits |= AxisBits(x, c.xCentre, c.xHalf, INPUT_LEFT, INPUT_RIGHT);
    bits |= AxisBits(y, c.yCentre, c.yHalf, INPUT_UP, INPUT_DOWN);
    bits |= (pos.buttons & 0xFF) << 4;
  }
  bits = ReplayFilterInput(bits);
  if (report == nullptr) return bits;
  if (valid) {
    report->x = Minus(x, c.xCentre);
    report->y = Minus(y, c.yCentre);
    report->z = Minus(static_cast<int32_t>(pos.z), c.zCentre);
    report->r = Minus(static_cast<int32_t>(pos.r), c.rCentre);
    report->xRange = c.xHalf;
    report->yRange = c.yHalf;
    report->zRange = c.zHalf;
    report->rRange = c.rHalf;
  } else {
    report->x = KeyAxis(bits, INPUT_LEFT, INPUT_RIGHT);
    report->xRange = 1;
    report->y = KeyAxis(bits, INPUT_UP, INPUT_DOWN);
    report->yRange = 1;
  }
  report->bits = bits;
  return bits;
}
