// Real machine: SIGINT, SIGTERM and SIGHUP close the game as the end of its session does.
#include <atomic>
#include <csignal>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {
// Written by the handler, read by the event pump; a lock-free atomic is safe in a handler.
std::atomic<int> StopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void NoteStopSignal(int signal) { StopSignal.store(signal, std::memory_order_relaxed); }

// A signal the game was started ignoring (nohup, a background job) stays ignored.
void Catch(int signal) {
#ifdef _WIN32
  if (std::signal(signal, NoteStopSignal) == SIG_IGN) std::signal(signal, SIG_IGN);
#else
  struct sigaction action = {};
  if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) return;
  action = {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  // Restarted calls: a signal must not make a file write or a wait of another thread fail.
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
#endif
}
}  // namespace

void PlatformCatchStopSignals() {
  // The game ends through its own loop, so a recording, trace or dump is completed; a later
  // signal only asks again. SDL's own handlers would end it the same way but know no hang-up.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  Catch(SIGINT);
  Catch(SIGTERM);
#ifdef SIGHUP
  Catch(SIGHUP);
#endif
}

bool SdlTakeStopSignal() { return StopSignal.exchange(0, std::memory_order_relaxed) != 0; }

bool SdlStopSignalPending() { return StopSignal.load(std::memory_order_relaxed) != 0; }
