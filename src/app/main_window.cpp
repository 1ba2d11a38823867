// The one window: creation, centred placement and the handling of its events between frames.
#include "app/main_window.h"

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/frame_cycle.h"
#include "app/icon_image.h"
#include "app/language.h"
#include "app/message_loop.h"
#include "gfx/display.h"
#include "gfx/surface.h"
#include "input/pad.h"
#include "platform/scaling.h"

int32_t MainWindow = 0;
int32_t FrameExtraX = 0, FrameExtraY = 0;
int32_t DesktopWidth = 0, DesktopHeight = 0;
bool GamePaused = false;
bool PauseNoticeWanted = true;

namespace {

constexpr const char* CAPTION = "ZIZID-OZAVAV";

constexpr int32_t CLIENT_WIDTH = 640, CLIENT_HEIGHT = 480;
constexpr int32_t MIN_CLIENT_WIDTH = 320, MIN_CLIENT_HEIGHT = 240;

// Alt+Return has switched the window between its window and the full screen an odd number of
// times: it shows the other mode than "/F" chose.
bool Switched = false;

int32_t StopBox(const char* text) {
  return PlatformMessageBox(text, CAPTION, PMB_OK, PMB_ICONSTOP);
}

// The window is gone: the frame cycle shuts down and the loop ends before another frame.
void OnDestroyed() {
  MainWindow = 0;
  RequestShutdown();
  PostQuitMessage(0);
}

void CloseWindow(bool ask) {
  if (MainWindow == 0) return;
  if (ask && FullScreen == 0 &&
      PlatformMessageBox(CloseQuestionText(), CAPTION, PMB_YESNO, PMB_ICONQUESTION) !=
          PMB_ANSWER_YES) {
    return;
  }
  PlatformDestroyWindow();
  OnDestroyed();
}

// Another window changed the display's colours: show our picture again in ours.
void RepaintAfterDisplayChange() {
  if (DisplayReady == 0) return;
  gf_DD_ScrFill(ScreenSurface, 0);
  gf_DD_Present();
  gf_DD_AttachPalette();
}

bool ShowsFullScreen() { return (FullScreen == 1) != Switched; }

// Full screen shows no pointer while the game is in front.
void ShowCursorAsNeeded() { PlatformShowCursor(!(ShowsFullScreen() && AppActive == 1)); }

// Only the presentation changes: "/F" keeps deciding how the game closes and repaints.
void SwitchFullScreen() {
  Switched = !Switched;
  PlatformSetFullScreen(ShowsFullScreen());
  ShowCursorAsNeeded();
}

// Keys the window keeps for itself; true when the key was one of them.
bool OnWindowKey(const PlatformEvent& event) {
  if (IsPauseKey(event.a)) {
    if (event.type == PEV_KEYDOWN && (event.b & PEV_KEY_REPEAT) == 0) SetGamePaused(!GamePaused);
    return true;
  }
  if (event.a == VK_F12) {
    if (event.type == PEV_KEYDOWN && (event.b & PEV_KEY_REPEAT) == 0)
      TakeScreenshot(std::time(nullptr));
    return true;
  }
  if (event.type == PEV_KEYDOWN && event.b == PEV_KEY_ALT && event.a == VK_RETURN) {
    SwitchFullScreen();
  }
  return false;
}

void OnActivate(int32_t active) {
  AppActive = active != 0 ? 1 : 0;
  ShowCursorAsNeeded();
  if (AppActive == 1 && DisplayReady != 0) gf_DD_AttachPalette();
}

}  // namespace

void SetGamePaused(bool paused) {
  if (paused == GamePaused) return;
  GamePaused = paused;
  PlatformDisplayShowPause(paused && PauseNoticeWanted);
  if (DisplayReady != 0) gf_DD_Present();
}

int32_t CreateMainWindow() {
  IconImage icon;
  const bool haveIcon = LoadIconResource("ICN_01", &icon);
  PlatformWindowDesc desc = {};
  desc.title = CAPTION;
  desc.clientWidth = CLIENT_WIDTH;
  desc.clientHeight = CLIENT_HEIGHT;
  desc.minClientWidth = MIN_CLIENT_WIDTH;
  desc.minClientHeight = MIN_CLIENT_HEIGHT;
  desc.fullScreen = FullScreen != 0;
  desc.iconRgba = haveIcon ? icon.rgba.data() : nullptr;
  desc.iconWidth = haveIcon ? icon.width : 0;
  desc.iconHeight = haveIcon ? icon.height : 0;
  if (!PlatformCreateWindow(desc)) {
    StopBox(InitFailedText());
    return 0;
  }
  // Nobody would ever see the window nor be able to close it: say so instead of waiting.
  if (!AutomaticRun() && !PlatformHasScreen()) {
    PlatformDestroyWindow();
    StopBox(NoDisplayText());
    return 0;
  }
  MainWindow = 1;
  Switched = false;
  GamePaused = false;
  if (!PlatformDesktopSize(&DesktopWidth, &DesktopHeight)) {
    DesktopWidth = CLIENT_WIDTH;
    DesktopHeight = CLIENT_HEIGHT;
  }
  if (!PlatformCanShowPalette() && FullScreen == 0) {
    StopBox(NeedColoursText());
    PlatformDestroyWindow();
    MainWindow = 0;
    return 0;
  }
  PlaceMainWindow();
  PlatformShowWindow();
  return 1;
}

int32_t PlaceMainWindow() {
  if (FullScreen != 0) return 1;  // the display set-up takes the whole screen
  // Our window system sizes the client area itself; its frame belongs to the window manager.
  FrameExtraX = 0;
  FrameExtraY = 0;
  const int32_t w = FrameExtraX + CLIENT_WIDTH, h = FrameExtraY + CLIENT_HEIGHT;
  // Signed: on a desktop smaller than the window its corner lies off the screen.
  const int32_t x = (DesktopWidth - w) / 2, y = (DesktopHeight - h) / 2;
  ClientX = x;
  ClientY = y;
  ClientWidth = w;
  ClientHeight = h;
  PlatformPlaceWindow(x, y, w, h);
  return 1;
}

int32_t TakeScreenshot(std::time_t when) {
  const PlatformSettings& settings = PlatformConfiguration();
  int32_t x = 0, y = 0, w = 0, h = 0;
  PlatformGetClientArea(&x, &y, &w, &h);
  // The picture as large as the window shows it, in whole pixels.
  const int32_t scale = WholePictureScale(settings.scaleMode, w, h);
  std::string path, error;
  if (!gf_DD_SaveScreenshot(settings.screenshotDir, when, scale, &path, &error)) {
    PlatformNotice(("Screenshot not saved: " + error + "\n").c_str());
    return 0;
  }
  PlatformNotice(("Screenshot saved to " + path + "\n").c_str());
  return 1;
}

int32_t OnKeyDown(int32_t) { return 1; }

int32_t OnKeyUp(int32_t virtualKey) {
  if (virtualKey == VK_ESCAPE) CloseWindow(true);
  return 1;
}

int32_t MainWindowProc(const PlatformEvent& event) {
  switch (event.type) {
    case PEV_CLOSE:
      CloseWindow(true);
      return 0;
    case PEV_TERMINATE:
      CloseWindow(false);
      return 0;
    case PEV_ACTIVATE:
      OnActivate(event.a);
      return 0;
    case PEV_MOVE:
      ClientX = event.a;
      ClientY = event.b;
      return 0;
    case PEV_SIZE:
      ClientWidth = event.a;
      ClientHeight = event.b;
      return 0;
    case PEV_PAINT:
      if (FullScreen == 0 && DisplayReady != 0) gf_DD_Present();
      return 1;
    case PEV_KEYDOWN:
      if (!OnWindowKey(event)) OnKeyDown(event.a);
      return 0;
    case PEV_KEYUP:
      if (!OnWindowKey(event)) OnKeyUp(event.a);
      return 0;
    case PEV_PAUSE:
      SetGamePaused(!GamePaused);
      return 0;
    case PEV_DISPLAY_LOST:
      if (DisplayReady != 0) gf_DD_Restore();
      return 1;
    case PEV_SETTING_CHANGE:
      RepaintAfterDisplayChange();
      return 1;
    case PEV_NONE:
      break;
  }
  return 0;
}
