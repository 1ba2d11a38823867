// The one window: creation, placement and its event handling.
#pragma once
#include <cstdint>
#include <ctime>

#include "platform/platform.h"

extern int32_t MainWindow;  // 1 while the window exists, else 0
extern int32_t FrameExtraX, FrameExtraY;
extern int32_t DesktopWidth, DesktopHeight;

constexpr const char* WINDOW_CLASS_NAME = "ZIZID-OZAVAV";

// The player paused the game: like an inactive window, no frame runs; the sound holds and the
// presentation shows a notice over the picture.
extern bool GamePaused;
extern bool PauseNoticeWanted;  // the settings may turn the notice off
// Pauses or goes on; the picture is shown again at once with or without the notice.
void SetGamePaused(bool paused);

// 1 with the window shown; 0 after its message box.
int32_t CreateMainWindow();
int32_t PlaceMainWindow();
// Handles one window event between frames.
int32_t MainWindowProc(const PlatformEvent& event);
int32_t OnKeyDown(int32_t virtualKey);
int32_t OnKeyUp(int32_t virtualKey);
// F12: saves the picture on show, named for the time `when`, and says where (or why not) on the
// diagnostic output. 1 when saved.
int32_t TakeScreenshot(std::time_t when);
