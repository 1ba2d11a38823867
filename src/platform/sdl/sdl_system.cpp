// Real machine: the millisecond clock, the microsecond clock and the pacer's sleep.
#include <SDL2/SDL.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

#if defined(CLOCK_MONOTONIC) && defined(TIMER_ABSTIME)
// The pacer sleeps to an absolute time on the monotonic clock: a sleep that starts late (the
// thread was not running) does not end late by as much again, and nothing spins.
uint64_t MonotonicMicros() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000 + static_cast<uint64_t>(t.tv_nsec) / 1000;
}

void SleepUntilMonotonic(uint64_t micros) {
  timespec t{};
  t.tv_sec = static_cast<time_t>(micros / 1000000);
  t.tv_nsec = static_cast<long>(micros % 1000000 * 1000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}
#else
uint64_t MonotonicMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void SleepUntilMonotonic(uint64_t micros) {
  const std::chrono::steady_clock::time_point until{std::chrono::microseconds(micros)};
  std::this_thread::sleep_until(until);
}
#endif

const uint64_t ClockStart = MonotonicMicros();

}  // namespace

uint32_t PlatformTicks() { return static_cast<uint32_t>(PlatformMicros() / 1000); }

uint64_t PlatformMicros() { return MonotonicMicros() - ClockStart; }

void PlatformWaitUntilMicros(uint64_t t) {
  if (t > PlatformMicros()) SleepUntilMonotonic(ClockStart + t);
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
