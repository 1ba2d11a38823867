// Real machine: key state by virtual-key code, key events' codes, and the first joystick.
#include <SDL2/SDL.h>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

struct KeyPair {
  int32_t vk;
  SDL_Scancode first, second;  // the second is SDL_SCANCODE_UNKNOWN when there is one key only
};

// Keys found by their place on the board (letters are found by their label instead).
constexpr KeyPair PlacedKeys[] = {
    {0x08, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_UNKNOWN},
    {0x09, SDL_SCANCODE_TAB, SDL_SCANCODE_UNKNOWN},
    {0x0D, SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER},
    {0x10, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT},
    {0x11, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL},
    {0x12, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT},
    {0x1B, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UNKNOWN},
    {0x20, SDL_SCANCODE_SPACE, SDL_SCANCODE_UNKNOWN},
    {0x25, SDL_SCANCODE_LEFT, SDL_SCANCODE_UNKNOWN},
    {0x26, SDL_SCANCODE_UP, SDL_SCANCODE_UNKNOWN},
    {0x27, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UNKNOWN},
    {0x28, SDL_SCANCODE_DOWN, SDL_SCANCODE_UNKNOWN},
    {0x60, SDL_SCANCODE_KP_0, SDL_SCANCODE_UNKNOWN},
    {0x61, SDL_SCANCODE_KP_1, SDL_SCANCODE_UNKNOWN},
    {0x62, SDL_SCANCODE_KP_2, SDL_SCANCODE_UNKNOWN},
    {0x63, SDL_SCANCODE_KP_3, SDL_SCANCODE_UNKNOWN},
    {0x64, SDL_SCANCODE_KP_4, SDL_SCANCODE_UNKNOWN},
    {0x65, SDL_SCANCODE_KP_5, SDL_SCANCODE_UNKNOWN},
    {0x66, SDL_SCANCODE_KP_6, SDL_SCANCODE_UNKNOWN},
    {0x67, SDL_SCANCODE_KP_7, SDL_SCANCODE_UNKNOWN},
    {0x68, SDL_SCANCODE_KP_8, SDL_SCANCODE_UNKNOWN},
    {0x69, SDL_SCANCODE_KP_9, SDL_SCANCODE_UNKNOWN},
};

bool IsLetter(int32_t vk) { return vk >= 'A' && vk <= 'Z'; }
bool IsDigit(int32_t vk) { return vk >= '0' && vk <= '9'; }

SDL_Scancode DigitScancode(int32_t vk) {
  return vk == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (vk - '1'));
}

SDL_Joystick* Joystick = nullptr;

bool StartJoysticks() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) return true;
  return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SDL_Joystick* OpenJoystick(int32_t id) {
  if (id != 0 || !StartJoysticks()) return nullptr;
  if (Joystick == nullptr && SDL_NumJoysticks() > 0) Joystick = SDL_JoystickOpen(0);
  return Joystick;
}

// SDL axes run from -32768 to 32767; the game wants the device's unsigned words.
uint32_t AxisWord(SDL_Joystick* j, int axis) {
  if (axis >= SDL_JoystickNumAxes(j)) return 0;
  return static_cast<uint32_t>(SDL_JoystickGetAxis(j, axis) + 32768);
}

}  // namespace

int32_t SdlVirtualKey(SDL_Keycode key, SDL_Scancode scancode) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  for (const KeyPair& k : PlacedKeys) {
    if (scancode == k.first || scancode == k.second) return k.vk;
  }
  return 0;
}

bool PlatformKeyHeld(int32_t virtualKey) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  const auto held = [&](SDL_Scancode s) {
    return s != SDL_SCANCODE_UNKNOWN && s < count && state[s] != 0;
  };
  // Letters by the key that carries the letter in the user's layout.
  if (IsLetter(virtualKey)) {
    return held(SDL_GetScancodeFromKey(SDLK_a + (virtualKey - 'A')));
  }
  if (IsDigit(virtualKey)) return held(DigitScancode(virtualKey));
  for (const KeyPair& k : PlacedKeys) {
    if (k.vk == virtualKey) return held(k.first) || held(k.second);
  }
  return false;
}

int32_t PlatformJoystickCount() {
  if (!StartJoysticks()) return 0;
  return SDL_NumJoysticks();
}

bool PlatformJoystickCaps(int32_t id, PlatformJoyCaps* caps) {
  SDL_Joystick* j = OpenJoystick(id);
  if (j == nullptr) return false;
  const int axes = SDL_JoystickNumAxes(j);
  const auto range = [&](int axis, uint32_t* lo, uint32_t* hi) {
    *lo = 0;
    *hi = axis < axes ? 65535 : 0;
  };
  range(0, &caps->xMin, &caps->xMax);
  range(1, &caps->yMin, &caps->yMax);
  range(2, &caps->zMin, &caps->zMax);
  range(3, &caps->rMin, &caps->rMax);
  return true;
}

bool PlatformJoystickRead(int32_t id, PlatformJoyPos* pos) {
  SDL_Joystick* j = OpenJoystick(id);
  if (j == nullptr || SDL_JoystickGetAttached(j) == SDL_FALSE) return false;
  SDL_JoystickUpdate();
  pos->x = AxisWord(j, 0);
  pos->y = AxisWord(j, 1);
  pos->z = AxisWord(j, 2);
  pos->r = AxisWord(j, 3);
  pos->buttons = 0;
  const int buttons = SDL_JoystickNumButtons(j);
  for (int b = 0; b < buttons && b < 32; ++b) {
    if (SDL_JoystickGetButton(j, b) != 0) pos->buttons |= 1u << b;
  }
  return true;
}
