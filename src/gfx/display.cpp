// Display set-up and presentation: the presentation on the main window, the surfaces the picture
// passes through, the screen's clip rectangle and the palette the display shows it in.
#include "gfx/display.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "gfx/png_file.h"
#include "gfx/sheet.h"

int32_t FullScreen = 0;
int32_t EmulationOnly = 1;
int32_t SystemMemorySurfaces = 1;
int32_t ClientX = 0, ClientY = 0, ClientWidth = 0, ClientHeight = 0;

int32_t DisplayReady = 0;
DisplayDevice* DisplayObject = nullptr;
Surface* PrimarySurface = nullptr;
Surface* BackBuffer = nullptr;
Clipper* ScreenClipper = nullptr;
DisplayPalette* DisplayPaletteObject = nullptr;

namespace {

// Enough for a burst of F12 presses within one second.
constexpr int32_t SCREENSHOT_ATTEMPTS = 100;

DisplayDevice TheDisplay{false, false};
Clipper TheScreenClipper{Box{0, 0, 0, 0}};
DisplayPalette ThePalette{};
const DisplayPalette* PrimaryPalette = nullptr;  // the palette attached to PrimarySurface
std::vector<Surface*> DisplaySurfaces;           // made from DisplayObject, freed with it

void CopyPicture(const Surface* from, Surface* to) {
  for (int32_t y = 0; y < from->height && y < to->height; ++y) {
    std::memcpy(to->pixels + int64_t{y} * to->pitch, from->pixels + int64_t{y} * from->pitch,
                static_cast<size_t>(std::min(from->width, to->width)));
  }
}

// Hands PrimarySurface to the machine; a lost presentation is restored for the next frame.
void ShowPrimary(int32_t x, int32_t y, int32_t w, int32_t h) {
  const PlatformDisplayResult result =
      PlatformDisplayPresent(PrimarySurface->pixels, PrimarySurface->pitch, PrimarySurface->width,
                             PrimarySurface->height, ShownColors(), x, y, w, h);
  if (result == PDR_LOST) gf_DD_Restore();
}

void ReleaseAndClear(Surface** surface) {
  ReleaseSurface(*surface);
  *surface = nullptr;
}

}  // namespace

const PlatformColor* ShownColors() {
  return PrimaryPalette != nullptr ? PrimaryPalette->entries : GamePalette.data();
}

Surface* CreateDisplaySurface(DisplayDevice* display, int32_t width, int32_t height) {
  if (display == nullptr) return nullptr;
  Surface* surface = CreateSurface(width, height);
  if (surface != nullptr) DisplaySurfaces.push_back(surface);
  return surface;
}

int32_t gf_DD_Startup() {
  const int32_t code = gf_DD_Init();
  char line[64];
  std::snprintf(line, sizeof line, "DirectDraw Init ErrorCode [%d]\n", code);
  PlatformDebugOutput(line);
  return code == DDINIT_OK ? 1 : 0;
}

uint32_t gf_DD_MemoryCaps(uint32_t caps) {
  return caps | (SystemMemorySurfaces != 0 ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY);
}

int32_t gf_DD_CheckCaps() {
  // The software blitter has every capability the game draws with; only the display is asked.
  if (DisplayObject == nullptr) return 0;
  PlatformDebugOutput("DirectDraw Caps:OK!\n");
  PlatformDebugOutput("DirectDraw Caps FX:OK!\n");
  return 1;
}

int32_t gf_DD_Init() {
  // A second start would otherwise leak what the first made.
  if (DisplayObject != nullptr) gf_DD_Release(1);
  DisplayReady = 0;
  DisplayObject = nullptr;
  PrimarySurface = BackBuffer = ScreenSurface = nullptr;
  ScreenClipper = nullptr;
  DisplayPaletteObject = nullptr;
  PrimaryPalette = nullptr;

  const bool fullScreen = FullScreen != 0;
  if (!PlatformDisplayOpen(EmulationOnly == 0)) return DDINIT_NO_DISPLAY;
  TheDisplay = DisplayDevice{fullScreen, EmulationOnly == 0};
  DisplayObject = &TheDisplay;
  if (gf_DD_CheckCaps() == 0) return DDINIT_NO_CAPS;

  if (fullScreen) {
    if (!PlatformDisplaySetMode(SCREEN_WIDTH, SCREEN_HEIGHT)) return DDINIT_NO_MODE;
    PrimarySurface = CreateSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (PrimarySurface == nullptr) return DDINIT_NO_PRIMARY;
    BackBuffer = CreateSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (BackBuffer == nullptr) return DDINIT_NO_BACK_BUFFER;
  } else {
    PrimarySurface = CreateSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (PrimarySurface == nullptr) return DDINIT_NO_PRIMARY;
  }

  ScreenSurface = CreateSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
  if (ScreenSurface == nullptr) return DDINIT_NO_SCREEN_SURFACE;
  gf_DD_SetColorKey(ScreenSurface, MakeRgb(0, 0, 0));
  gf_DD_SetColorKey(PrimarySurface, MakeRgb(0, 0, 0));

  TheScreenClipper.rect = Box{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
  ScreenClipper = &TheScreenClipper;
  ScreenSurface->clipper = ScreenClipper;

  FillColorCube();
  DisplayPaletteObject = &ThePalette;
  PrimaryPalette = DisplayPaletteObject;
  gf_DD_SetPalette(DisplayPaletteObject, GamePalette.data());

  if (fullScreen) gf_DD_ScrFill(BackBuffer, 0);
  gf_DD_ScrFill(PrimarySurface, 0);
  DisplayReady = 1;
  return DDINIT_OK;
}

int32_t gf_DD_Present() {
  if (DisplayReady == 0 || ScreenSurface == nullptr || PrimarySurface == nullptr) return 0;
  if (DisplayObject->fullScreen && BackBuffer != nullptr) {
    // Unscaled into the back buffer, then the flip makes it the shown picture.
    CopyPicture(ScreenSurface, BackBuffer);
    std::swap(PrimarySurface->store, BackBuffer->store);
    std::swap(PrimarySurface->pixels, BackBuffer->pixels);
    ShowPrimary(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
  } else {
    CopyPicture(ScreenSurface, PrimarySurface);
    ShowPrimary(ClientX, ClientY, ClientWidth, ClientHeight);
  }
  return 1;
}

int32_t gf_DD_Restore() {
  int32_t result = 1;
  // Only the presentation can be lost; every surface lies in system memory.
  if (PrimarySurface != nullptr && !PlatformDisplayRestore()) result = 0;
  if (DisplayPaletteObject != nullptr && PrimarySurface != nullptr) {
    PrimaryPalette = DisplayPaletteObject;
  }
  return result;
}

int32_t gf_DD_Release(int32_t releaseDisplay) {
  if (ScreenClipper != nullptr) {
    if (ScreenSurface != nullptr) ScreenSurface->clipper = nullptr;
    ScreenClipper = nullptr;
  }
  if (PrimarySurface != nullptr) {
    ReleaseAndClear(&PrimarySurface);
    if (BackBuffer != nullptr) ReleaseAndClear(&BackBuffer);
  }
  DisplayPaletteObject = nullptr;
  PrimaryPalette = nullptr;
  if (ScreenSurface != nullptr) ReleaseAndClear(&ScreenSurface);
  if (releaseDisplay != 0 && DisplayObject != nullptr) {
    for (Surface* s : DisplaySurfaces) {
      if (SheetSurface == s) SheetSurface = nullptr;
      ReleaseSurface(s);
    }
    DisplaySurfaces.clear();
    PlatformDisplayClose();
    DisplayObject = nullptr;
  }
  DisplayReady = 0;
  return 1;
}

int32_t gf_DD_AttachPalette() {
  if (DisplayPaletteObject == nullptr || PrimarySurface == nullptr) return 0;
  PrimaryPalette = DisplayPaletteObject;
  return 1;
}

std::string ScreenshotFileName(const std::tm& when, int32_t attempt) {
  char name[64];
  std::strftime(name, sizeof name, "zizid-ozavav-%Y%m%d-%H%M%S", &when);
  std::string file = name;
  if (attempt > 0) file += "-" + std::to_string(attempt + 1);
  return file + ".png";
}

bool gf_DD_SaveScreenshot(const char* folder, std::time_t when, int32_t scale, std::string* path,
                          std::string* error) {
  namespace fs = std::filesystem;
  if (DisplayReady == 0 || PrimarySurface == nullptr) {
    *error = "no picture is shown yet";
    return false;
  }
  std::tm local{};
#ifdef _WIN32
  const bool dated = localtime_s(&local, &when) == 0;
#else
  const bool dated = localtime_r(&when, &local) != nullptr;
#endif
  if (!dated) {
    *error = "the clock gives no date";
    return false;
  }
  const fs::path dir = folder != nullptr && *folder != '\0' ? fs::path(folder) : fs::path(".");
  std::error_code ec;
  // Made at the first shot, not at start, so that a game without F12 leaves no empty folder.
  fs::create_directories(dir, ec);
  if (ec) {
    *error = dir.string() + ": " + ec.message();
    return false;
  }
  for (int32_t attempt = 0; attempt < SCREENSHOT_ATTEMPTS; ++attempt) {
    const fs::path file = dir / ScreenshotFileName(local, attempt);
    if (fs::exists(file, ec)) continue;
    if (ec) {
      *error = file.string() + ": " + ec.message();
      return false;
    }
    if (!WriteIndexedPng(file.string().c_str(), PrimarySurface->pixels, PrimarySurface->pitch,
                         PrimarySurface->width, PrimarySurface->height, ShownColors(), scale,
                         error)) {
      return false;
    }
    const fs::path shown = fs::absolute(file, ec);
    *path = (ec ? file : shown.lexically_normal()).string();
    return true;
  }
  *error = "every name for this second is taken in " + dir.string();
  return false;
}
