// Display set-up, presentation of ScreenSurface, recovery of a lost presentation, release.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "gfx/surface.h"
#include "platform/platform.h"

// The open presentation on the main window.
struct DisplayDevice {
  bool fullScreen;
  bool accelerated;
};

// The colours the display shows the palette indices in.
struct DisplayPalette {
  PlatformColor entries[256];
};

constexpr uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;

// What the display set-up is asked for: the command line's switches set them.
extern int32_t FullScreen;            // "/F"
extern int32_t EmulationOnly;         // 1 unless "/E"
extern int32_t SystemMemorySurfaces;  // 1 unless "/M"
// Where a windowed picture goes: the window's client area on the desktop, kept up to date by the
// window's move and size events.
extern int32_t ClientX, ClientY, ClientWidth, ClientHeight;

extern int32_t DisplayReady;          // 1 from a finished gf_DD_Init to gf_DD_Release
extern DisplayDevice* DisplayObject;  // the presentation, while open
extern Surface* PrimarySurface;       // the picture the display shows
extern Surface* BackBuffer;           // full screen: the next picture, swapped in by the flip
extern Clipper* ScreenClipper;        // (0,0)-(320,240), attached to ScreenSurface
extern DisplayPalette* DisplayPaletteObject;  // made from GamePalette, attached to PrimarySurface

// The colours a picture is shown or saved in: the attached palette, or GamePalette before there
// is one.
const PlatformColor* ShownColors();

// gf_DD_Init's result: DDINIT_OK, or the code of the step the machine refused.
constexpr int32_t DDINIT_OK = 0;
constexpr int32_t DDINIT_NO_PRIMARY = 2;
constexpr int32_t DDINIT_NO_BACK_BUFFER = 3;
constexpr int32_t DDINIT_NO_SCREEN_SURFACE = 7;
constexpr int32_t DDINIT_NO_DISPLAY = 31;
constexpr int32_t DDINIT_NO_CAPS = 32;
constexpr int32_t DDINIT_NO_MODE = 33;

int32_t gf_DD_Startup();  // 1 when gf_DD_Init succeeded
int32_t gf_DD_Init();
int32_t gf_DD_CheckCaps();
uint32_t gf_DD_MemoryCaps(uint32_t caps);
int32_t gf_DD_Present();
int32_t gf_DD_Restore();
int32_t gf_DD_Release(int32_t releaseDisplay);
// A surface made from the display object; gf_DD_Release frees it with the display object.
Surface* CreateDisplaySurface(DisplayDevice* display, int32_t width, int32_t height);
// Gives PrimarySurface the palette object again (palette and focus changes of the window).
int32_t gf_DD_AttachPalette();

// The file name of a screenshot taken at local time `when`; attempt n > 0 adds "-n" to keep an
// earlier file of the same second.
std::string ScreenshotFileName(const std::tm& when, int32_t attempt);
// Saves the picture on show, each pixel enlarged `scale` times, as a PNG named for the time `when`
// in `folder` (null or empty: the current folder; made when missing). True with the file's path
// in *path; false with the reason in *error and nothing written.
bool gf_DD_SaveScreenshot(const char* folder, std::time_t when, int32_t scale, std::string* path,
                          std::string* error);
