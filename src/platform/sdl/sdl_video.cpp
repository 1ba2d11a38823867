// The real machine's presentation: an SDL renderer and one streaming texture that each indexed
// picture is converted into through the palette, then stretched onto the window.
#include "platform/sdl/sdl_video.h"

#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <atomic>

#include "platform/scaling.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/sdl/sdl_window.h"

namespace {

SDL_Renderer* Renderer = nullptr;
SDL_Texture* Texture = nullptr;
int32_t TextureWidth = 0, TextureHeight = 0;
bool Accelerated = false;
bool FullScreenMode = false;
std::atomic<bool> Lost{false};
bool WatchInstalled = false;
bool PauseShown = false;

// "PAUSE" in 5x7 letters, one row of five bits per byte, leftmost pixel in the high bit.
constexpr uint8_t PAUSE_GLYPHS[5][7] = {
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
};

// White letters on a black box at the top centre of the picture, in the picture's own pixel size
// so that it looks like part of the game's screen without being part of it.
void DrawPauseNotice(const SDL_Rect& picture, int32_t pictureWidth) {
  const int unit = std::max(1, picture.w / std::max(1, pictureWidth));
  const int boxW = 33 * unit, boxH = 11 * unit;
  const SDL_Rect box{picture.x + (picture.w - boxW) / 2, picture.y + 8 * unit, boxW, boxH};
  SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
  SDL_RenderFillRect(Renderer, &box);
  SDL_SetRenderDrawColor(Renderer, 255, 255, 255, 255);
  for (int letter = 0; letter < 5; ++letter) {
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if ((PAUSE_GLYPHS[letter][row] & (0x10 >> col)) == 0) continue;
        const SDL_Rect dot{box.x + (2 + letter * 6 + col) * unit, box.y + (2 + row) * unit, unit,
                           unit};
        SDL_RenderFillRect(Renderer, &dot);
      }
    }
  }
}

// A device reset takes every texture with it; the next presentation reports the loss.
int WatchRenderReset(void*, SDL_Event* event) {
  if (event->type == SDL_RENDER_DEVICE_RESET || event->type == SDL_RENDER_TARGETS_RESET) {
    Lost = true;
  }
  return 1;
}

bool CreateRenderer() {
  SDL_Window* window = SdlMainWindow();
  if (window == nullptr) return false;
  // The software renderer draws into the window's framebuffer. Made as a texture of a hidden
  // OpenGL renderer, that costs several times the drawing itself (a software OpenGL runs threads
  // of its own); the window system's shared-memory image is the cheapest way to the screen.
  // Only a framebuffer made after this hint follows it, and the player's own choice wins.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The pacer holds 60 frames a second by sleeping. A real vertical blank is only waited for on
  // an accelerated renderer of a 60 Hz display, where it keeps the picture from tearing; the
  // software renderer would only stand in for it with a whole-millisecond delay of its own.
  Uint32 flags = Accelerated ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE;
  if (Accelerated && PlatformDisplayRefreshHz() == 60) flags |= SDL_RENDERER_PRESENTVSYNC;
  Renderer = SDL_CreateRenderer(window, -1, flags);
  if (Renderer == nullptr && Accelerated) {
    Renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  return Renderer != nullptr;
}

// Runs without a rate to hold show a picture only now and then (PlatformSettings).
bool PictureDue() {
  static uint64_t lastShown = 0;
  const int32_t limit = SdlSettings.pictureRateLimit;
  if (limit <= 0) return true;
  const uint64_t now = PlatformMicros();
  if (lastShown != 0 && now - lastShown < 1000000 / static_cast<uint64_t>(limit)) return false;
  lastShown = now;
  return true;
}

bool CreateTexture(int32_t width, int32_t height) {
  if (Texture != nullptr) SDL_DestroyTexture(Texture);
  // Whole game pixels, no smoothing between them.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                              width, height);
  TextureWidth = Texture != nullptr ? width : 0;
  TextureHeight = Texture != nullptr ? height : 0;
  return Texture != nullptr;
}

void ClearWindow() {
  SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Renderer);
  SDL_RenderPresent(Renderer);
}

// The picture's place inside an area of the renderer's output, as --scale asks.
SDL_Rect Scaled(int x, int y, int w, int h) {
  const PictureRect r = ScaledPictureRect(SdlSettings.scaleMode, w, h);
  return SDL_Rect{x + r.x, y + r.y, r.w, r.h};
}

// Where the picture goes on the renderer's output. Windowed, the area is the rectangle given in
// screen coordinates; full screen, the whole output.
SDL_Rect OutputRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  SDL_Window* window = SdlMainWindow();
  int outW = 0, outH = 0, winW = 1, winH = 1, winX = 0, winY = 0;
  SDL_GetRendererOutputSize(Renderer, &outW, &outH);
  if (FullScreenMode) return Scaled(0, 0, outW, outH);
  SDL_GetWindowPosition(window, &winX, &winY);
  SDL_GetWindowSize(window, &winW, &winH);
  winW = std::max(winW, 1);
  winH = std::max(winH, 1);
  // Output pixels per window unit differ from 1 on high-density displays.
  const auto sx = [&](int64_t v) { return static_cast<int>(v * outW / winW); };
  const auto sy = [&](int64_t v) { return static_cast<int>(v * outH / winH); };
  return Scaled(sx(int64_t{x} - winX), sy(int64_t{y} - winY), sx(w), sy(h));
}

}  // namespace

void SdlBuildLookup(const PlatformColor palette[256], uint32_t lookup[256]) {
  for (int i = 0; i < 256; ++i) {
    lookup[i] = 0xFF000000u | uint32_t{palette[i].r} << 16 | uint32_t{palette[i].g} << 8 |
                uint32_t{palette[i].b};
  }
}

void SdlConvertIndexed(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                       const uint32_t lookup[256], void* out, int32_t outPitch) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* s = pixels + int64_t{y} * pitch;
    auto* d = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out) + int64_t{y} * outPitch);
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
      const uint32_t p0 = lookup[s[x]], p1 = lookup[s[x + 1]], p2 = lookup[s[x + 2]],
                     p3 = lookup[s[x + 3]], p4 = lookup[s[x + 4]], p5 = lookup[s[x + 5]],
                     p6 = lookup[s[x + 6]], p7 = lookup[s[x + 7]];
      d[x] = p0;
      d[x + 1] = p1;
      d[x + 2] = p2;
      d[x + 3] = p3;
      d[x + 4] = p4;
      d[x + 5] = p5;
      d[x + 6] = p6;
      d[x + 7] = p7;
    }
    for (; x < width; ++x) d[x] = lookup[s[x]];
  }
}

bool PlatformDisplayOpen(bool accelerated) {
  PlatformDisplayClose();
  Accelerated = accelerated;
  FullScreenMode = false;
  Lost = false;
  if (!CreateRenderer()) return false;
  if (!WatchInstalled) {
    SDL_AddEventWatch(WatchRenderReset, nullptr);
    WatchInstalled = true;
  }
  ClearWindow();
  SdlRestoreWindowState();
  return true;
}

bool PlatformDisplaySetMode(int32_t width, int32_t height) {
  SDL_Window* window = SdlMainWindow();
  if (window == nullptr || Renderer == nullptr) return false;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  SDL_DisplayMode wanted{}, found{};
  wanted.w = width;
  wanted.h = height;
  bool ok = false;
  if (SDL_GetClosestDisplayMode(display, &wanted, &found) != nullptr && found.w == width &&
      found.h == height) {
    ok = SDL_SetWindowDisplayMode(window, &found) == 0 &&
         SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
  }
  if (!ok) ok = SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
  FullScreenMode = ok;
  if (ok) ClearWindow();
  SdlRestoreWindowState();
  return ok;
}

void PlatformDisplayClose() {
  // The renderer takes its texture with it, also when the window has gone first.
  if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
  Texture = nullptr;
  Renderer = nullptr;
  TextureWidth = TextureHeight = 0;
  if (WatchInstalled) {
    SDL_DelEventWatch(WatchRenderReset, nullptr);
    WatchInstalled = false;
  }
  if (FullScreenMode && SdlMainWindow() != nullptr) SDL_SetWindowFullscreen(SdlMainWindow(), 0);
  FullScreenMode = false;
}

PlatformDisplayResult PlatformDisplayPresent(const uint8_t* pixels, int32_t pitch, int32_t width,
                                             int32_t height, const PlatformColor palette[256],
                                             int32_t destX, int32_t destY, int32_t destW,
                                             int32_t destH) {
  if (Renderer == nullptr || pixels == nullptr || palette == nullptr || width < 1 || height < 1) {
    return PDR_FAILED;
  }
  if (Lost) return PDR_LOST;
  if (!PictureDue()) return PDR_OK;
  if ((Texture == nullptr || width != TextureWidth || height != TextureHeight) &&
      !CreateTexture(width, height)) {
    return PDR_FAILED;
  }
  uint32_t lookup[256];
  SdlBuildLookup(palette, lookup);
  void* out = nullptr;
  int outPitch = 0;
  if (SDL_LockTexture(Texture, nullptr, &out, &outPitch) != 0) return PDR_FAILED;
  SdlConvertIndexed(pixels, pitch, width, height, lookup, out, outPitch);
  SDL_UnlockTexture(Texture);
  const SDL_Rect dest = OutputRect(destX, destY, destW, destH);
  // Bars around the picture are cleared; a picture that covers the output needs no clearing,
  // which spares the software renderer a fill of the whole window every frame.
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(Renderer, &outW, &outH);
  if (dest.x > 0 || dest.y > 0 || dest.x + dest.w < outW || dest.y + dest.h < outH) {
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
  }
  if (SDL_RenderCopy(Renderer, Texture, nullptr, &dest) != 0) return Lost ? PDR_LOST : PDR_FAILED;
  if (PauseShown) DrawPauseNotice(dest, width);
  SDL_RenderPresent(Renderer);
#ifdef __EMSCRIPTEN__
  // A run without a rate to hold never waits: the browser gets the page back at each picture
  // shown, or it would show none of them.
  if (SdlSettings.pictureRateLimit > 0) emscripten_sleep(0);
#endif
  return Lost ? PDR_LOST : PDR_OK;
}

void PlatformDisplayShowPause(bool shown) { PauseShown = shown; }

bool PlatformDisplayRestore() {
  if (Renderer == nullptr) return false;
  Lost = false;
  const int32_t w = TextureWidth, h = TextureHeight;
  if (w == 0 || CreateTexture(w, h)) return true;
  // The texture cannot be made again on the old renderer: start a new one.
  SDL_DestroyRenderer(Renderer);
  Renderer = nullptr;
  Texture = nullptr;
  if (!CreateRenderer()) return false;
  return CreateTexture(w, h);
}
