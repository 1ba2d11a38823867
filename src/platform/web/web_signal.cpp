// Web machine: the auto-reset event. With one thread, a wait gives the page back to the browser,
// whose audio callback is what sets it.
#include <emscripten.h>

#include "platform/platform.h"

struct PlatformSignal {
  bool set = false;
};

PlatformSignal* PlatformSignalCreate(const char*) { return new PlatformSignal; }

void PlatformSignalSet(PlatformSignal* s) { s->set = true; }

bool PlatformSignalWait(PlatformSignal* s, uint32_t timeoutMs) {
  const double end = emscripten_get_now() + timeoutMs;
  while (!s->set) {
    if (emscripten_get_now() >= end) return false;
    emscripten_sleep(1);
  }
  s->set = false;  // auto-reset: one wait consumes one signal
  return true;
}

void PlatformSignalDestroy(PlatformSignal* s) { delete s; }
