// Real machine: the auto-reset event one thread signals and another waits on.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/platform.h"

struct PlatformSignal {
  std::mutex lock;
  std::condition_variable changed;
  bool set = false;
};

PlatformSignal* PlatformSignalCreate(const char*) { return new PlatformSignal; }

void PlatformSignalSet(PlatformSignal* s) {
  std::lock_guard<std::mutex> g(s->lock);
  s->set = true;
  s->changed.notify_one();
}

bool PlatformSignalWait(PlatformSignal* s, uint32_t timeoutMs) {
  std::unique_lock<std::mutex> g(s->lock);
  if (!s->changed.wait_for(g, std::chrono::milliseconds(timeoutMs), [s] { return s->set; })) {
    return false;
  }
  s->set = false;  // auto-reset: one wait consumes one signal
  return true;
}

void PlatformSignalDestroy(PlatformSignal* s) { delete s; }
