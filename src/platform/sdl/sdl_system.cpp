// Real machine: the millisecond clock, the microsecond clock and the precise wait of the pacer.
#include <SDL2/SDL.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

const std::chrono::steady_clock::time_point ClockStart = std::chrono::steady_clock::now();

// Below this much time left the wait spins instead of sleeping: a sleep may overshoot.
constexpr uint64_t SPIN_MICROS = 1000;

}  // namespace

uint32_t PlatformTicks() { return static_cast<uint32_t>(PlatformMicros() / 1000); }

uint64_t PlatformMicros() {
  const auto elapsed = std::chrono::steady_clock::now() - ClockStart;
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

void PlatformWaitUntilMicros(uint64_t t) {
  for (uint64_t now = PlatformMicros(); now < t; now = PlatformMicros()) {
    const uint64_t left = t - now;
    if (left > SPIN_MICROS) {
      std::this_thread::sleep_for(std::chrono::microseconds(left - SPIN_MICROS));
    } else {
      std::this_thread::yield();
    }
  }
}

int PlatformDisplayRefreshHz() {
  SDL_Window* window = SdlMainWindow();
  const int display = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
  SDL_DisplayMode mode;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || display < 0 ||
      SDL_GetCurrentDisplayMode(display, &mode) != 0) {
    return 0;
  }
  return mode.refresh_rate;
}
