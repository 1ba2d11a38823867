// Real machine: the window, its events translated for the game, and message boxes.
#include "platform/sdl/sdl_window.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/controller_map.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_box_focus.h"
#include "platform/sdl/sdl_settings.h"

namespace {

SDL_Window* Window = nullptr;
bool WindowAlive = false;         // false once the game has destroyed its window
int MinWidth = 1, MinHeight = 1;  // the client area's smallest size
std::deque<PlatformEvent> Pending;

void ShutDownVideo() {
  if (Window != nullptr) SDL_DestroyWindow(Window);
  Window = nullptr;
  SDL_Quit();
}

#ifndef _WIN32
// When the X server goes away, Xlib ends the program through exit(), whose handlers would go
// back into SDL on the dead connection and crash or spin there. Leave at once instead.
int DisplayLost(void*) {
  static const char text[] = "zizid-ozavav: the display connection was lost\n";
  [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text, sizeof text - 1);
  _exit(1);
}

void GuardAgainstALostDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
  // Xlib is already loaded by SDL; the game does not link it, so its setter is looked up.
  void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (xlib == nullptr) return;
  using Handler = int (*)(void*);
  using SetHandler = Handler (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler"))) set(DisplayLost);
  dlclose(xlib);
}
#else
void GuardAgainstALostDisplay() {}  // Windows has no display connection to lose
#endif

// Without a runtime folder no Wayland compositor can be reached, and its library would only say
// so on the terminal: the other drivers are tried instead, in SDL's own order.
void SkipUnreachableWayland() {
#if defined(__linux__)
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if ((chosen != nullptr && chosen[0] != '\0') || (wayland != nullptr && wayland[0] == '/') ||
      (runtime != nullptr && runtime[0] != '\0')) {
    return;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm,offscreen");
#endif
}

bool StartVideo(const char* windowClass) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  SkipUnreachableWayland();
  // The X11 class lets the desktop (and a later copy's user) tell our window apart.
#ifndef _WIN32
  setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 0);
#endif
  SDL_SetHint(SDL_HINT_APP_NAME, windowClass);
  // Closing the window is the game's decision (it asks first).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
    return false;
  }
  std::atexit(ShutDownVideo);
  GuardAgainstALostDisplay();
  return true;
}

void Push(PlatformEventType type, int32_t a = 0, int32_t b = 0) {
  Pending.push_back(PlatformEvent{type, a, b});
}

void TranslateWindowEvent(const SDL_WindowEvent& w) {
  if (Window == nullptr || w.windowID != SDL_GetWindowID(Window)) return;
  switch (w.event) {
    case SDL_WINDOWEVENT_CLOSE:
      Push(PEV_CLOSE);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Push(PEV_ACTIVATE, 1);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      Push(PEV_ACTIVATE, 0);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      // Some window managers leave the focus on a minimised window: nobody sees it play.
      Push(PEV_ACTIVATE, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      if ((SDL_GetWindowFlags(Window) & SDL_WINDOW_INPUT_FOCUS) != 0) Push(PEV_ACTIVATE, 1);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Push(PEV_MOVE, w.data1, w.data2);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Push(PEV_SIZE, w.data1, w.data2);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      Push(PEV_PAINT);
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      Push(PEV_TERMINATE);
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(e.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (const int32_t vk = SdlVirtualKey(e.key.keysym.sym, e.key.keysym.scancode); vk != 0) {
        if (vk == 0x0D && e.key.repeat == 0) {
          SdlNoteReturnKey(e.type == SDL_KEYDOWN, (e.key.keysym.mod & KMOD_ALT) != 0);
        }
        const int32_t flags = (e.key.repeat != 0 ? PEV_KEY_REPEAT : 0) |
                              ((e.key.keysym.mod & KMOD_ALT) != 0 ? PEV_KEY_ALT : 0);
        Push(e.type == SDL_KEYDOWN ? PEV_KEYDOWN : PEV_KEYUP, vk, flags);
      }
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (e.cbutton.button == SDL_CONTROLLER_BUTTON_START && ControllerStartPauses()) Push(PEV_PAUSE);
      break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      Push(PEV_DISPLAY_LOST);
      break;
    case SDL_DISPLAYEVENT:
      Push(PEV_SETTING_CHANGE);
      break;
    case SDL_AUDIODEVICEADDED:
    case SDL_AUDIODEVICEREMOVED:
      SdlAudioDeviceEvent(e.type == SDL_AUDIODEVICEADDED, e.adevice.which,
                          e.adevice.iscapture != 0);
      break;
    default:
      break;
  }
}

}  // namespace

SDL_Window* SdlMainWindow() { return Window; }

void SdlRaiseMainWindow() {
  if (Window == nullptr || !WindowAlive) return;
  SDL_RestoreWindow(Window);
  SDL_RaiseWindow(Window);
}

const PlatformSettings& PlatformConfiguration() { return SdlSettings; }

// ---- Events --------------------------------------------------------------------------------
bool PlatformEventWaiting() {
  if (SdlTakeStopSignal()) Push(PEV_TERMINATE);
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return !Pending.empty();
  SdlServeInstanceRequests();
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) Translate(e);
  return !Pending.empty();
}

bool PlatformWaitForEvent(uint32_t timeoutMs) {
  if (PlatformEventWaiting()) return true;
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    SDL_Delay(timeoutMs);
    return !Pending.empty();
  }
  // Blocks in the window system until something arrives; events that the game has no use for
  // (the pointer moving over the window) come back as nothing waiting.
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, static_cast<int>(std::min<uint32_t>(timeoutMs, INT_MAX))) != 0)
    Translate(e);
  return PlatformEventWaiting();
}

bool PlatformNextEvent(PlatformEvent* ev) {
  if (Pending.empty() && !PlatformEventWaiting()) return false;
  *ev = Pending.front();
  Pending.pop_front();
  return true;
}

// ---- Window --------------------------------------------------------------------------------
bool PlatformCreateWindow(const PlatformWindowDesc& desc) {
  if (Window != nullptr || !StartVideo(desc.title)) return false;
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
#ifdef __EMSCRIPTEN__
  // The page scales the canvas; a resizable one would be made as large as the page instead.
  flags &= ~SDL_WINDOW_RESIZABLE;
#endif
  if (desc.fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  Window = SDL_CreateWindow(desc.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                            desc.clientWidth, desc.clientHeight, flags);
  if (Window == nullptr) {
    std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
    return false;
  }
  MinWidth = std::max(desc.minClientWidth, 1);
  MinHeight = std::max(desc.minClientHeight, 1);
  SDL_SetWindowMinimumSize(Window, MinWidth, MinHeight);
  if (desc.iconRgba != nullptr && desc.iconWidth > 0 && desc.iconHeight > 0) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(desc.iconRgba), desc.iconWidth, desc.iconHeight, 32,
        desc.iconWidth * 4, SDL_PIXELFORMAT_RGBA32);
    if (icon != nullptr) {
      SDL_SetWindowIcon(Window, icon);
      SDL_FreeSurface(icon);
    }
  }
  SDL_DisableScreenSaver();  // the game runs without input for long stretches (attract cycle)
  WindowAlive = true;
  return true;
}

void PlatformPlaceWindow(int32_t x, int32_t y, int32_t clientWidth, int32_t clientHeight) {
  if (Window == nullptr) return;
  SDL_SetWindowSize(Window, clientWidth, clientHeight);
  SDL_SetWindowPosition(Window, x, y);
}

void PlatformShowWindow() {
  if (Window == nullptr) return;
  SDL_ShowWindow(Window);
  SDL_RaiseWindow(Window);
}

void PlatformDestroyWindow() {
  if (Window == nullptr || !WindowAlive) return;
  WindowAlive = false;
  SDL_HideWindow(Window);
  PlatformReleaseInstance();
}

bool PlatformWindowExists() { return Window != nullptr && WindowAlive; }

bool PlatformHasScreen() {
  // Drivers that show a picture to someone; anything else draws nowhere unless asked for.
  constexpr const char* screens[] = {"x11", "wayland", "kmsdrm", "windows", "cocoa", "emscripten"};
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  for (const char* screen : screens)
    if (std::strcmp(driver, screen) == 0) return true;
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen != nullptr && std::strstr(chosen, driver) != nullptr) return true;
  std::fprintf(stderr, "video: no display found (SDL fell back to its \"%s\" driver)\n", driver);
  return false;
}

bool PlatformDesktopSize(int32_t* w, int32_t* h) {
  SDL_DisplayMode mode;
  const int display = Window != nullptr ? SDL_GetWindowDisplayIndex(Window) : 0;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return false;
  *w = mode.w;
  *h = mode.h;
  return true;
}

bool PlatformCanShowPalette() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.format == SDL_PIXELFORMAT_UNKNOWN) {
    return true;  // nothing known against it; the renderer converts to whatever there is
  }
  return SDL_BITSPERPIXEL(mode.format) >= 8;
}

void PlatformGetClientArea(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
  int px = 0, py = 0, pw = 0, ph = 0;
  if (Window != nullptr) {
    SDL_GetWindowPosition(Window, &px, &py);
    SDL_GetWindowSize(Window, &pw, &ph);
  }
  *x = px;
  *y = py;
  *w = pw;
  *h = ph;
}

void PlatformSetFullScreen(bool on) {
  if (Window == nullptr) return;
  SDL_SetWindowFullscreen(Window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  SdlRestoreWindowState();
}

bool PlatformIsFullScreen() {
  return Window != nullptr && (SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void PlatformShowCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SdlRestoreWindowState() {
  // A window made anew (a renderer may do that) or a new mode starts with the default pointer
  // and without the size limit.
  if (Window == nullptr) return;
  SDL_SetCursor(nullptr);
  SDL_SetWindowMinimumSize(Window, MinWidth, MinHeight);
}

// ---- Message boxes -------------------------------------------------------------------------
#ifndef __EMSCRIPTEN__  // the page asks on the web (web/web_page.cpp)
int32_t PlatformMessageBox(const char* text, const char* caption, PlatformMessageBoxButtons buttons,
                           PlatformMessageBoxIcon icon) {
  const SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
       PMB_ANSWER_OK, "OK"}};
  // No is the default for Return and Escape alike: Return is also a game button, and a held
  // one must not end a game that Escape was pressed in by mistake.
  const bool japanese = SdlSettings.japanese;
  const SDL_MessageBoxButtonData yesNo[] = {
      {0, PMB_ANSWER_YES, japanese ? "はい" : "Yes"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
       PMB_ANSWER_NO, japanese ? "いいえ" : "No"}};
  const bool askYesNo = buttons == PMB_YESNO;
  SDL_MessageBoxData box = {};
  box.flags = (icon == PMB_ICONSTOP ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION) |
              SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = PlatformWindowExists() ? Window : nullptr;
  box.title = caption;
  box.message = text;
  box.numbuttons = askYesNo ? 2 : 1;
  box.buttons = askYesNo ? yesNo : ok;
  int answer = 0;
  SdlBoxFocusStart(box.window);
  const int shown = SDL_ShowMessageBox(&box, &answer);
  SdlBoxFocusStop();
  if (shown != 0) {
    // No way to ask: say it on the terminal and let the program go on (or end) as asked.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return askYesNo ? PMB_ANSWER_YES : PMB_ANSWER_OK;
  }
  if (answer <= 0) return askYesNo ? PMB_ANSWER_NO : PMB_ANSWER_OK;  // the box itself was closed
  return answer;
}
#endif
