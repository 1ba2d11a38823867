// Scripted machine: a display that keeps the last picture it was asked to show.
#include <cstring>

#include "platform/fake/fake_platform.h"
#include "platform/platform.h"

namespace {

struct FakeDisplayState {
  bool open = false;
  bool accelerated = false;
  bool fullScreenMode = false;
  bool failOpen = false;
  bool failSetMode = false;
  bool lost = false;
  bool failRestore = false;
  int32_t presents = 0;
  int32_t restores = 0;
  bool pauseShown = false;
  FakeDisplayFrame frame;
};
FakeDisplayState Display;

}  // namespace

void FakeDisplayReset() { Display = FakeDisplayState{}; }
void FakeDisplayFailOpen(bool fail) { Display.failOpen = fail; }
void FakeDisplayFailSetMode(bool fail) { Display.failSetMode = fail; }
void FakeDisplayLose() { Display.lost = true; }
void FakeDisplayFailRestore(bool fail) { Display.failRestore = fail; }
bool FakeDisplayIsOpen() { return Display.open; }
bool FakeDisplayAccelerated() { return Display.accelerated; }
bool FakeDisplayFullScreenMode() { return Display.fullScreenMode; }
int32_t FakeDisplayPresentCount() { return Display.presents; }
bool FakeDisplayPauseShown() { return Display.pauseShown; }
void PlatformDisplayShowPause(bool shown) { Display.pauseShown = shown; }
int32_t FakeDisplayRestoreCount() { return Display.restores; }
const FakeDisplayFrame& FakeDisplayLastFrame() { return Display.frame; }

bool PlatformDisplayOpen(bool accelerated) {
  if (Display.failOpen) return false;
  Display.open = true;
  Display.accelerated = accelerated;
  Display.fullScreenMode = false;
  Display.lost = false;
  return true;
}

bool PlatformDisplaySetMode(int32_t width, int32_t height) {
  if (!Display.open || Display.failSetMode || width < 1 || height < 1) return false;
  Display.fullScreenMode = true;
  return true;
}

void PlatformDisplayClose() {
  Display.open = false;
  Display.fullScreenMode = false;
}

PlatformDisplayResult PlatformDisplayPresent(const uint8_t* pixels, int32_t pitch, int32_t width,
                                             int32_t height, const PlatformColor palette[256],
                                             int32_t destX, int32_t destY, int32_t destW,
                                             int32_t destH) {
  if (!Display.open || pixels == nullptr || palette == nullptr || width < 1 || height < 1 ||
      pitch < width) {
    return PDR_FAILED;
  }
  if (Display.lost) return PDR_LOST;
  FakeDisplayFrame& f = Display.frame;
  f.width = width;
  f.height = height;
  f.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(f.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                static_cast<size_t>(width));
  }
  for (int i = 0; i < 256; ++i) {
    f.palette[i][0] = palette[i].r;
    f.palette[i][1] = palette[i].g;
    f.palette[i][2] = palette[i].b;
    f.palette[i][3] = palette[i].flags;
  }
  f.destX = destX;
  f.destY = destY;
  f.destW = destW;
  f.destH = destH;
  ++Display.presents;
  return PDR_OK;
}

bool PlatformDisplayRestore() {
  ++Display.restores;
  if (!Display.open || Display.failRestore) return false;
  Display.lost = false;
  return true;
}
