// The message loop: events between frames, one frame per observed clock change, a steady cadence.
#include "app/message_loop.h"

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/trace.h"
#include "input/replay.h"
#include "platform/platform.h"

int32_t AppActive = 0;
uint32_t ClockChanges = 0;
uint32_t LastClock = 0;
uint32_t SlowSkip = 0;
uint32_t SkipLeft = 0;
int32_t FrameRateLimit = 60;

int64_t FrameLimit = 0;

namespace {
int64_t FramesRun = 0;

bool QuitPosted = false;
int32_t QuitCode = 0;

// The cadence: deadline n lies n/FrameRateLimit seconds after its start, so lateness in one
// frame does not shift the frames after it.
bool CadenceRunning = false;
uint64_t CadenceStart = 0;
uint64_t CadenceFrames = 0;

// While inactive nothing is due; a short sleep keeps the loop from spinning a whole core.
constexpr uint64_t INACTIVE_NAP_MICROS = 2000;

}  // namespace

void PostQuitMessage(int32_t exitCode) {
  QuitPosted = true;
  QuitCode = exitCode;
}

bool QuitPending() { return QuitPosted; }

void ResetMessageLoop() {
  QuitPosted = false;
  QuitCode = 0;
  CadenceRunning = false;
  FramesRun = 0;
}

void PaceFrame() {
  if (FrameRateLimit <= 0) return;
  const uint64_t rate = static_cast<uint64_t>(FrameRateLimit);
  const uint64_t period = 1000000 / rate;
  const uint64_t now = PlatformMicros();
  const uint64_t deadline = CadenceStart + CadenceFrames * 1000000 / rate;
  if (!CadenceRunning || now > deadline + period) {
    // First frame, or a stall longer than a frame: start a new cadence instead of catching up.
    CadenceRunning = true;
    CadenceStart = now;
    CadenceFrames = 1;
    return;
  }
  if (now < deadline) PlatformWaitUntilMicros(deadline);
  ++CadenceFrames;
}

// The port's own per-frame duties: the state trace, and the end of a limited or replayed run.
void AfterFrame() {
  if (TraceActive()) TraceFrame();
  ++FramesRun;
  if ((FrameLimit > 0 && FramesRun >= FrameLimit) || ReplayExhausted()) {
    RequestShutdown();
    PostQuitMessage(0);
  }
}

int32_t MessageLoop() {
  LastClock = PlatformTicks();
  for (;;) {
    if (PlatformEventWaiting()) {
      PlatformEvent event;
      if (PlatformNextEvent(&event)) MainWindowProc(event);
      continue;
    }
    if (QuitPosted) {
      QuitPosted = false;
      return QuitCode;
    }
    if (AppActive != 1) {
      PlatformWaitUntilMicros(PlatformMicros() + INACTIVE_NAP_MICROS);
      continue;
    }
    if (PlatformTicks() == LastClock) continue;
    ++ClockChanges;
    if (SlowSkip != 0) {
      if (SkipLeft != 0) {
        --SkipLeft;
        LastClock = PlatformTicks();
        continue;
      }
      SkipLeft = SlowSkip;
    }
    PaceFrame();
    SystemFrame();
    AfterFrame();
    LastClock = PlatformTicks();
  }
}
