// Real machine: key state by virtual-key code, key events' codes, and the first joystick, read
// through the standard layout when the system knows it as a game controller.
#include <SDL2/SDL.h>

#include <algorithm>
#include <iterator>

#include "platform/controller_map.h"
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
    {VK_PAUSE, SDL_SCANCODE_PAUSE, SDL_SCANCODE_UNKNOWN},
    {0x1B, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UNKNOWN},
    {0x20, SDL_SCANCODE_SPACE, SDL_SCANCODE_UNKNOWN},
    {0x21, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_UNKNOWN},
    {0x22, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_UNKNOWN},
    {0x23, SDL_SCANCODE_END, SDL_SCANCODE_UNKNOWN},
    {0x24, SDL_SCANCODE_HOME, SDL_SCANCODE_UNKNOWN},
    {0x25, SDL_SCANCODE_LEFT, SDL_SCANCODE_UNKNOWN},
    {0x26, SDL_SCANCODE_UP, SDL_SCANCODE_UNKNOWN},
    {0x27, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UNKNOWN},
    {0x28, SDL_SCANCODE_DOWN, SDL_SCANCODE_UNKNOWN},
    {0x2D, SDL_SCANCODE_INSERT, SDL_SCANCODE_UNKNOWN},
    {0x2E, SDL_SCANCODE_DELETE, SDL_SCANCODE_UNKNOWN},
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
    {0x70, SDL_SCANCODE_F1, SDL_SCANCODE_UNKNOWN},
    {0x71, SDL_SCANCODE_F2, SDL_SCANCODE_UNKNOWN},
    {0x72, SDL_SCANCODE_F3, SDL_SCANCODE_UNKNOWN},
    {0x73, SDL_SCANCODE_F4, SDL_SCANCODE_UNKNOWN},
    {0x74, SDL_SCANCODE_F5, SDL_SCANCODE_UNKNOWN},
    {0x75, SDL_SCANCODE_F6, SDL_SCANCODE_UNKNOWN},
    {0x76, SDL_SCANCODE_F7, SDL_SCANCODE_UNKNOWN},
    {0x77, SDL_SCANCODE_F8, SDL_SCANCODE_UNKNOWN},
    {0x78, SDL_SCANCODE_F9, SDL_SCANCODE_UNKNOWN},
    {0x79, SDL_SCANCODE_F10, SDL_SCANCODE_UNKNOWN},
    {0x7A, SDL_SCANCODE_F11, SDL_SCANCODE_UNKNOWN},
    {VK_F12, SDL_SCANCODE_F12, SDL_SCANCODE_UNKNOWN},
};

bool IsLetter(int32_t vk) { return vk >= 'A' && vk <= 'Z'; }
bool IsDigit(int32_t vk) { return vk >= '0' && vk <= '9'; }

SDL_Scancode DigitScancode(int32_t vk) {
  return vk == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (vk - '1'));
}

AltReturnLatch AltReturn;

// The one slot the game reads: the first device, opened when it is first read (at start or
// after it was plugged in) and let go when it is unplugged, so that the next one can take it.
SDL_Joystick* Joystick = nullptr;
SDL_GameController* Controller = nullptr;

bool StartJoysticks() {
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0) return true;
  return SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
}

void CloseDevice() {
  if (Controller != nullptr) {
    SDL_GameControllerClose(Controller);
  } else if (Joystick != nullptr) {
    SDL_JoystickClose(Joystick);
  }
  Controller = nullptr;
  Joystick = nullptr;
}

bool OpenDevice(int32_t id) {
  if (id != 0 || !StartJoysticks()) return false;
  if (Joystick != nullptr && SDL_JoystickGetAttached(Joystick) == SDL_FALSE) CloseDevice();
  if (Joystick == nullptr && SDL_NumJoysticks() > 0) {
    if (SDL_IsGameController(0) == SDL_TRUE) Controller = SDL_GameControllerOpen(0);
    Joystick =
        Controller != nullptr ? SDL_GameControllerGetJoystick(Controller) : SDL_JoystickOpen(0);
  }
  return Joystick != nullptr;
}

ControllerState ReadController(SDL_GameController* c) {
  constexpr SDL_GameControllerButton buttons[] = {SDL_CONTROLLER_BUTTON_A,
                                                  SDL_CONTROLLER_BUTTON_B,
                                                  SDL_CONTROLLER_BUTTON_X,
                                                  SDL_CONTROLLER_BUTTON_Y,
                                                  SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                  SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                                  SDL_CONTROLLER_BUTTON_BACK,
                                                  SDL_CONTROLLER_BUTTON_START,
                                                  SDL_CONTROLLER_BUTTON_DPAD_UP,
                                                  SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                                                  SDL_CONTROLLER_BUTTON_DPAD_LEFT,
                                                  SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
                                                  SDL_CONTROLLER_BUTTON_GUIDE,
                                                  SDL_CONTROLLER_BUTTON_LEFTSTICK,
                                                  SDL_CONTROLLER_BUTTON_RIGHTSTICK};
  ControllerState s{};
  s.leftX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
  s.leftY = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
  s.rightX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX);
  s.rightY = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY);
  s.leftTrigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
  s.rightTrigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
  for (size_t i = 0; i < std::size(buttons); ++i) {
    if (SDL_GameControllerGetButton(c, buttons[i]) != 0) s.pressed |= 1u << i;
  }
  return s;
}

RawJoystickState ReadRawJoystick(SDL_Joystick* j) {
  RawJoystickState s{};
  s.axisCount = std::clamp(SDL_JoystickNumAxes(j), 0, 4);
  for (int32_t a = 0; a < s.axisCount; ++a) s.axes[a] = SDL_JoystickGetAxis(j, a);
  s.hasHat = SDL_JoystickNumHats(j) > 0;
  if (s.hasHat) s.hat = SDL_JoystickGetHat(j, 0);
  const int buttons = SDL_JoystickNumButtons(j);
  for (int b = 0; b < buttons && b < 32; ++b) {
    if (SDL_JoystickGetButton(j, b) != 0) s.buttons |= 1u << b;
  }
  return s;
}

bool AltHeld(const Uint8* state, int count) {
  return (SDL_SCANCODE_LALT < count && state[SDL_SCANCODE_LALT] != 0) ||
         (SDL_SCANCODE_RALT < count && state[SDL_SCANCODE_RALT] != 0);
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
  if (virtualKey == RETURN_KEY_CODE && AltReturnHidden(AltReturn, AltHeld(state, count))) {
    return false;
  }
  for (const KeyPair& k : PlacedKeys) {
    if (k.vk == virtualKey) return held(k.first) || held(k.second);
  }
  return false;
}

void SdlNoteReturnKey(bool down, bool altHeld) { AltReturnNote(&AltReturn, down, altHeld); }

int32_t PlatformJoystickCount() { return StartJoysticks() ? 1 : 0; }

bool PlatformJoystickCaps(int32_t id, PlatformJoyCaps* caps) {
  if (id != 0 || !StartJoysticks()) return false;
  *caps = JoystickCaps();
  return true;
}

// An unplugged device gives no reading, so none of its buttons stays held.
bool PlatformJoystickRead(int32_t id, PlatformJoyPos* pos) {
  if (!OpenDevice(id)) return false;
  if (Controller != nullptr) {
    SDL_GameControllerUpdate();
    *pos = ControllerPosition(ReadController(Controller));
  } else {
    SDL_JoystickUpdate();
    *pos = RawJoystickPosition(ReadRawJoystick(Joystick));
  }
  return true;
}
