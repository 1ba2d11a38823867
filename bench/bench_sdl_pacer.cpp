// The frame pacer on the real clock (how late frames start, what the waiting costs) and the cost
// of each way of showing the 320x240 picture. The presentations need a display (xvfb-run).
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "app/message_loop.h"
#include "gfx/sheet.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_video.h"

namespace {

uint64_t ThreadCpuMicros() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000 + static_cast<uint64_t>(t.tv_nsec) / 1000;
}

// Every thread of the process: a software OpenGL renders on threads of its own.
uint64_t ProcessCpuMicros() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  const auto micros = [](const timeval& t) {
    return static_cast<uint64_t>(t.tv_sec) * 1000000 + static_cast<uint64_t>(t.tv_usec);
  };
  return micros(u.ru_utime) + micros(u.ru_stime);
}

// Work of about `micros` of computing, as a frame's drawing is.
void Work(uint64_t micros) {
  const uint64_t until = ThreadCpuMicros() + micros;
  volatile uint32_t x = 1;
  while (ThreadCpuMicros() < until) {
    for (int i = 0; i < 1000; ++i) x = x * 1664525u + 1013904223u;
  }
}

// 600 paced frames of 0.5 ms work each; with range(0) = 1 a thread burns the other core. How late
// each frame starts against its deadline, and the pacing thread's CPU share.
void BM_Cadence600(benchmark::State& state) {
  FrameRateLimit = 60;
  std::atomic<bool> burning{state.range(0) != 0};
  std::thread burner([&] {
    volatile uint64_t x = 0;
    while (burning.load(std::memory_order_relaxed)) x = x + 1;
  });
  std::vector<double> late;
  double cpuShare = 0;
  for (auto _ : state) {
    late.clear();
    ResetMessageLoop();
    PaceFrame();
    const uint64_t start = PlatformMicros(), cpu0 = ThreadCpuMicros();
    for (int32_t i = 1; i <= 600; ++i) {
      Work(500);
      PaceFrame();
      const uint64_t due = start + static_cast<uint64_t>(i) * 1000000 / 60;
      late.push_back(static_cast<double>(PlatformMicros()) - static_cast<double>(due));
    }
    cpuShare = static_cast<double>(ThreadCpuMicros() - cpu0) /
               static_cast<double>(PlatformMicros() - start);
  }
  burning = false;
  burner.join();
  double sum = 0, worst = 0, over2ms = 0;
  for (double l : late) {
    sum += l;
    worst = std::max(worst, l);
    over2ms += l > 2000 ? 1 : 0;
  }
  state.counters["late_us_mean"] = sum / static_cast<double>(late.size());
  state.counters["late_us_worst"] = worst;
  state.counters["late_over_2ms_pct"] = 100 * over2ms / static_cast<double>(late.size());
  state.counters["cpu_pct"] = 100 * cpuShare;  // the 0.5 ms of work alone is 3 %
}
BENCHMARK(BM_Cadence600)
    ->ArgName("burner")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

// One way to the screen: the renderer, and whether the window framebuffer of the software
// renderer is an OpenGL texture ("1") or the window system's shared image ("0").
struct PresentPath {
  const char* name;
  bool accelerated;
  const char* framebufferAcceleration;
};
const PresentPath PATHS[] = {
    {"software_framebuffer_gl", false, "1"},
    {"software_framebuffer_shm", false, "0"},
    {"accelerated", true, "0"},
};

// The streaming texture filled through the palette and stretched to a 640x480 window, as every
// frame does; wall and process CPU time per presentation. Video starts afresh for each path,
// since SDL decides on the window framebuffer only once.
void BM_Present640x480(benchmark::State& state) {
  const PresentPath& path = PATHS[state.range(0)];
  state.SetLabel(path.name);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, path.framebufferAcceleration);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("no display");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bench", 0, 0, 640, 480, 0);
  SDL_Renderer* renderer =
      window == nullptr
          ? nullptr
          : SDL_CreateRenderer(window, -1,
                               path.accelerated ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE);
  SDL_Texture* texture = renderer == nullptr
                             ? nullptr
                             : SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                 SDL_TEXTUREACCESS_STREAMING, 320, 240);
  if (texture != nullptr) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    state.SetLabel(std::string(path.name) + " (" + info.name + ")");
    std::vector<uint8_t> pixels(320 * 240);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / 320);
    uint32_t lookup[256];
    SdlBuildLookup(GamePalette.data(), lookup);
    const SDL_Rect dest{0, 0, 640, 480};
    const uint64_t cpu0 = ProcessCpuMicros(), wall0 = PlatformMicros();
    for (auto _ : state) {
      void* out = nullptr;
      int pitch = 0;
      SDL_LockTexture(texture, nullptr, &out, &pitch);
      SdlConvertIndexed(pixels.data(), 320, 320, 240, lookup, out, pitch);
      SDL_UnlockTexture(texture);
      SDL_RenderClear(renderer);
      SDL_RenderCopy(renderer, texture, nullptr, &dest);
      SDL_RenderPresent(renderer);
      SDL_Event e;
      while (SDL_PollEvent(&e) != 0) {
      }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cpu_us"] = static_cast<double>(ProcessCpuMicros() - cpu0) / n;
    state.counters["wall_us"] = static_cast<double>(PlatformMicros() - wall0) / n;
  } else {
    state.SkipWithError(SDL_GetError());
  }
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  if (window != nullptr) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(BM_Present640x480)->DenseRange(0, 2)->Iterations(600)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
