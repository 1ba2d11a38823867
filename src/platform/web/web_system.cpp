// Web machine: the clocks, and the pacer's wait, which hands the page back to the browser until
// the display's next refresh (or a timer) brings the game back.
#include <emscripten.h>

#include <cstdint>

#include "platform/platform.h"

namespace {

const double ClockStart = emscripten_get_now();

// Within this much of its deadline a frame waits on a timer; further off, on the display's
// refresh, so that on a 60 Hz display every frame starts with one and is shown at the next.
constexpr uint64_t REFRESH_WAIT_LIMIT_MICROS = 1000000 / 120;

// The browser's next animation frame. A hidden page gets none, so a timer ends the wait too.
EM_ASYNC_JS(void, WebNextAnimationFrame, (), {
  await new Promise(function(resolve) {
    var timer = setTimeout(resolve, 100);
    requestAnimationFrame(function() {
      clearTimeout(timer);
      resolve();
    });
  });
});

}  // namespace

uint64_t PlatformMicros() {
  return static_cast<uint64_t>((emscripten_get_now() - ClockStart) * 1000.0);
}

uint32_t PlatformTicks() { return static_cast<uint32_t>(PlatformMicros() / 1000); }

void PlatformWaitUntilMicros(uint64_t t) {
  for (uint64_t now = PlatformMicros(); now < t; now = PlatformMicros()) {
    if (t - now > REFRESH_WAIT_LIMIT_MICROS) {
      WebNextAnimationFrame();
    } else {
      emscripten_sleep(static_cast<unsigned>((t - now + 999) / 1000));
    }
  }
}

// The browser tells no refresh rate; the pacer's own cadence holds the frame rate.
int PlatformDisplayRefreshHz() { return 0; }
