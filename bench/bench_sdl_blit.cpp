// The software blitter and the indexed-to-RGB conversion side by side with SDL's own blitter
// doing the same work on 8-bit surfaces, and the cost of one presentation.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_video.h"

namespace {

constexpr uint8_t KEY = 0;

// A sheet of sprites: about a third of the pixels are the key colour, the rest any colour.
struct Pictures {
  Surface* sheet = nullptr;
  Surface* screen = nullptr;
  Clipper clip{Box{0, 0, 320, 240}};
  SDL_Surface* sdlSheet = nullptr;
  SDL_Surface* sdlScreen = nullptr;
  SDL_Surface* sdlRgb = nullptr;
  SDL_PixelFormat* rgbFormat = nullptr;
  SDL_Palette* palette = nullptr;

  Pictures() {
    SDL_Init(0);
    sheet = CreateSurface(319, 240);
    screen = CreateSurface(320, 240);
    screen->clipper = &clip;
    sheet->hasColorKey = true;
    sheet->colorKey = KEY;
    uint32_t seed = 12345;
    for (int32_t y = 0; y < 240; ++y) {
      for (int32_t x = 0; x < 319; ++x) {
        seed = seed * 1103515245u + 12345u;
        const uint8_t v = static_cast<uint8_t>(seed >> 16);
        sheet->pixels[y * sheet->pitch + x] = (v % 3 == 0) ? KEY : v;
      }
    }
    palette = SDL_AllocPalette(256);
    std::vector<SDL_Color> colors(256);
    for (int i = 0; i < 256; ++i) {
      colors[static_cast<size_t>(i)] =
          SDL_Color{GamePalette[static_cast<size_t>(i)].r, GamePalette[static_cast<size_t>(i)].g,
                    GamePalette[static_cast<size_t>(i)].b, 255};
    }
    SDL_SetPaletteColors(palette, colors.data(), 0, 256);
    sdlSheet = SDL_CreateRGBSurfaceWithFormatFrom(sheet->pixels, 319, 240, 8, sheet->pitch,
                                                  SDL_PIXELFORMAT_INDEX8);
    sdlScreen = SDL_CreateRGBSurfaceWithFormatFrom(screen->pixels, 320, 240, 8, screen->pitch,
                                                   SDL_PIXELFORMAT_INDEX8);
    SDL_SetSurfacePalette(sdlSheet, palette);
    SDL_SetSurfacePalette(sdlScreen, palette);
    SDL_SetColorKey(sdlSheet, SDL_TRUE, KEY);
    rgbFormat = SDL_AllocFormat(SDL_PIXELFORMAT_ARGB8888);
    sdlRgb = SDL_CreateRGBSurfaceWithFormat(0, 320, 240, 32, SDL_PIXELFORMAT_ARGB8888);
  }
};

Pictures& P() {
  static Pictures p;
  return p;
}

void OursKeyed64x48(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    gf_DD_Blt(p.sheet, Box{17, 33, 64, 48}, p.screen, Box{101, 77, 64, 48});
    benchmark::ClobberMemory();
  }
}
void SdlKeyed64x48(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    SDL_Rect s{17, 33, 64, 48}, d{101, 77, 64, 48};
    SDL_BlitSurface(p.sdlSheet, &s, p.sdlScreen, &d);
    benchmark::ClobberMemory();
  }
}

void OursStretched47To188(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    gf_DD_Blt(p.sheet, Box{100, 100, 47, 47}, p.screen, Box{60, 20, 188, 188});
    benchmark::ClobberMemory();
  }
}
// SDL cannot stretch 8-bit pixels with a colour key (SDL_BlitScaled answers "Blit combination
// not supported"), so its 8-bit stretch without a key stands in: less work than ours.
void SdlStretched47To188(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    SDL_Rect s{100, 100, 47, 47}, d{60, 20, 188, 188};
    if (SDL_SoftStretch(p.sdlSheet, &s, p.sdlScreen, &d) != 0) {
      state.SkipWithError(SDL_GetError());
      break;
    }
    benchmark::ClobberMemory();
  }
}

// A busy frame: sprites of the sizes the game draws, some partly off the screen, and one in ten
// a digit stretched one column wider as the text does.
struct Sprite {
  Box source, dest;
};
const std::vector<Sprite>& FrameSprites() {
  static const std::vector<Sprite> sprites = [] {
    std::vector<Sprite> list;
    uint32_t seed = 99;
    const int32_t sizes[4][2] = {{16, 16}, {32, 32}, {10, 16}, {24, 24}};
    for (int i = 0; i < 400; ++i) {
      seed = seed * 1103515245u + 12345u;
      const int32_t* size = sizes[(seed >> 8) % 4];
      const int32_t sx = static_cast<int32_t>((seed >> 4) % (319 - 32));
      const int32_t sy = static_cast<int32_t>((seed >> 12) % (240 - 32));
      const int32_t dx = static_cast<int32_t>((seed >> 16) % 352) - 16;
      const int32_t dy = static_cast<int32_t>((seed >> 3) % 272) - 16;
      const bool digit = i % 10 == 0;
      if (digit) {  // SDL's stretch does not clip, so these stay on the screen
        list.push_back(
            Sprite{Box{sx, sy, 10, 16}, Box{(dx + 16) % 300 + 8, (dy + 16) % 216 + 8, 11, 16}});
        continue;
      }
      list.push_back(Sprite{Box{sx, sy, size[0], size[1]}, Box{dx, dy, size[0], size[1]}});
    }
    return list;
  }();
  return sprites;
}

void OursFrameOf400(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    for (const Sprite& s : FrameSprites()) gf_DD_Blt(p.sheet, s.source, p.screen, s.dest);
    benchmark::ClobberMemory();
  }
}
void SdlFrameOf400(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    for (const Sprite& s : FrameSprites()) {
      SDL_Rect src{s.source.x, s.source.y, s.source.w, s.source.h};
      SDL_Rect dst{s.dest.x, s.dest.y, s.dest.w, s.dest.h};
      if (s.source.w == s.dest.w) {
        SDL_BlitSurface(p.sdlSheet, &src, p.sdlScreen, &dst);
      } else {
        SDL_SoftStretch(p.sdlSheet, &src, p.sdlScreen, &dst);
      }
    }
    benchmark::ClobberMemory();
  }
}

void OursConvert320x240(benchmark::State& state) {
  Pictures& p = P();
  std::vector<uint32_t> out(320 * 240);
  for (auto _ : state) {
    uint32_t lookup[256];
    SdlBuildLookup(GamePalette.data(), lookup);
    SdlConvertIndexed(p.sheet->pixels, p.sheet->pitch, 319, 240, lookup, out.data(), 320 * 4);
    benchmark::ClobberMemory();
  }
}
void SdlConvertSurface320x240(benchmark::State& state) {
  Pictures& p = P();
  for (auto _ : state) {
    SDL_Surface* rgb = SDL_ConvertSurface(p.sdlSheet, p.rgbFormat, 0);
    benchmark::DoNotOptimize(rgb);
    SDL_FreeSurface(rgb);
  }
}
// The same conversion into a surface made once, without SDL's allocation.
void SdlBlitTo32Bit320x240(benchmark::State& state) {
  Pictures& p = P();
  SDL_SetColorKey(p.sdlSheet, SDL_FALSE, 0);
  for (auto _ : state) {
    SDL_BlitSurface(p.sdlSheet, nullptr, p.sdlRgb, nullptr);
    benchmark::ClobberMemory();
  }
  SDL_SetColorKey(p.sdlSheet, SDL_TRUE, KEY);
}

// One presentation with the software renderer at a client area of width x height; needs a
// display (run under xvfb-run with a screen large enough).
void PresentSoftware(benchmark::State& state) {
  static bool windowMade = false;
  const auto width = static_cast<int32_t>(state.range(0));
  const auto height = static_cast<int32_t>(state.range(1));
  if (!windowMade) {
    PlatformWindowDesc desc{"bench", width, height, 320, 240, false, nullptr, 0, 0};
    if (!PlatformCreateWindow(desc)) {
      state.SkipWithError("no window (no display?)");
      return;
    }
    PlatformShowWindow();
    windowMade = true;
  }
  PlatformPlaceWindow(0, 0, width, height);
  PlatformEvent ev;
  while (PlatformNextEvent(&ev)) {
  }
  if (!PlatformDisplayOpen(false)) {
    state.SkipWithError("no renderer");
    return;
  }
  Pictures& p = P();
  int32_t x = 0, y = 0, w = 0, h = 0;
  PlatformGetClientArea(&x, &y, &w, &h);
  state.SetLabel(std::to_string(w) + "x" + std::to_string(h));
  for (auto _ : state) {
    PlatformDisplayPresent(p.screen->pixels, p.screen->pitch, 320, 240, GamePalette.data(), x, y, w,
                           h);
  }
  PlatformDisplayClose();
}

BENCHMARK(OursKeyed64x48);
BENCHMARK(SdlKeyed64x48);
BENCHMARK(OursStretched47To188);
BENCHMARK(SdlStretched47To188);
BENCHMARK(OursFrameOf400);
BENCHMARK(SdlFrameOf400);
BENCHMARK(OursConvert320x240);
BENCHMARK(SdlConvertSurface320x240);
BENCHMARK(SdlBlitTo32Bit320x240);
BENCHMARK(PresentSoftware)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
