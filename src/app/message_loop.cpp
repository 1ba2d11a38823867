// The message loop: events between frames, one frame per observed clock change, a steady cadence.
#include "app/message_loop.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/trace.h"
#include "gfx/display.h"
#include "gfx/png_file.h"
#include "gfx/sheet.h"
#include "gfx/surface.h"
#include "input/replay.h"
#include "platform/platform.h"

int32_t AppActive = 0;
uint32_t LastClock = 0;
uint32_t SlowSkip = 0;
uint32_t SkipLeft = 0;
int32_t FrameRateLimit = 60;

int64_t FrameLimit = 0;

std::string DumpFramesDir;
int64_t DumpEvery = 1;
bool ChecksumWanted = false;
bool DumpFailed = false;

namespace {
int64_t FramesRun = 0;

bool QuitPosted = false;
int32_t QuitCode = 0;

// The cadence: deadline n lies n/FrameRateLimit seconds after its start, so lateness in one
// frame does not shift the frames after it.
bool CadenceRunning = false;
uint64_t CadenceStart = 0;
uint64_t CadenceFrames = 0;

// The millisecond the last frame stood for, in full (LastClock is its low 32 bits).
uint64_t FrameMillis = 0;

// While standing still the loop sleeps on the event queue; the time-out only bounds how long a
// later copy's request to come to the front waits for an answer.
constexpr uint32_t STAND_STILL_WAIT_MS = 100;
bool SoundHeld = false;

// The checksum line of the last frame, taken before the shutdown request changes the state.
std::string FinalChecksums;

void DumpScreen() {
  if (ScreenSurface == nullptr || ScreenSurface->pixels == nullptr) return;
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06" PRId64 ".png", FramesRun);
  const std::string path = DumpFramesDir + name;
  std::string error;
  if (WriteIndexedPng(path.c_str(), ScreenSurface->pixels, ScreenSurface->pitch,
                      ScreenSurface->width, ScreenSurface->height, ShownColors(), 1, &error))
    return;
  // One message is enough: the folder will not heal by itself, the game goes on without dumps.
  std::fprintf(stderr, "zizid-ozavav: frame dumps stopped: %s\n", error.c_str());
  DumpFailed = true;
}

}  // namespace

uint32_t Fnv1a(const uint8_t* data, size_t size, uint32_t hash) {
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

uint32_t ScreenChecksum() {
  uint32_t hash = 2166136261u;
  if (ScreenSurface == nullptr || ScreenSurface->pixels == nullptr) return hash;
  for (int32_t y = 0; y < SCREEN_HEIGHT && y < ScreenSurface->height; ++y)
    hash = Fnv1a(ScreenSurface->pixels + int64_t{y} * ScreenSurface->pitch,
                 static_cast<size_t>(std::min(SCREEN_WIDTH, ScreenSurface->width)), hash);
  return hash;
}

uint32_t StateChecksum() {
  // The trace line without its frame number: every documented variable of the game.
  const std::string state = TraceLine(0);
  return Fnv1a(reinterpret_cast<const uint8_t*>(state.data()), state.size(), 2166136261u);
}

std::string ChecksumLine() {
  char line[96];
  std::snprintf(line, sizeof line, "checksum screen=%08x state=%08x", ScreenChecksum(),
                StateChecksum());
  return line;
}

std::string ExitChecksumLine() { return FinalChecksums.empty() ? ChecksumLine() : FinalChecksums; }

bool FrameDumpFailed() { return DumpFailed; }

void PostQuitMessage(int32_t exitCode) {
  QuitPosted = true;
  QuitCode = exitCode;
}

bool QuitPending() { return QuitPosted; }

void ResetMessageLoop() {
  QuitPosted = false;
  QuitCode = 0;
  CadenceRunning = false;
  EndStandStill();
  FramesRun = 0;
  FinalChecksums.clear();
}

namespace {

// When the FrameRateLimit cadence lets a frame start that could start at `at`: `at` itself, or
// the next deadline. A frame a whole period behind starts a new cadence (*restart) instead of a
// burst of catch-up frames.
uint64_t CadenceDue(uint64_t at, bool* restart) {
  *restart = false;
  if (FrameRateLimit <= 0) return at;
  const uint64_t rate = static_cast<uint64_t>(FrameRateLimit);
  const uint64_t deadline = CadenceStart + CadenceFrames * 1000000 / rate;
  if (!CadenceRunning || at > deadline + 1000000 / rate) {
    *restart = true;
    return at;
  }
  return std::max(at, deadline);
}

// A frame starts at `now` and counts as the cadence's next.
void CadenceStep(uint64_t now, bool restart) {
  if (restart) {
    CadenceRunning = true;
    CadenceStart = now;
    CadenceFrames = 0;
  }
  ++CadenceFrames;
}

// Frames run back to back on a clock of their own: an automatic run without a rate to hold.
bool Uncapped() { return FrameRateLimit <= 0 && AutomaticRun(); }

// The millisecond at which the next frame falls due by the clock: the next change, or with "/S"
// the change after the SkipLeft skipped ones.
uint64_t ClockDueMillis() { return FrameMillis + 1 + SkipLeft; }

// A frame starts in millisecond nowMillis and stands for the clock changes since the last one.
// Deadlines advance by a whole frame, so "/S" keeps its pace when a frame starts a little late;
// more than a frame behind, the count starts again from now.
void StartFrameClock(uint64_t nowMillis) {
  const uint64_t due = ClockDueMillis();
  ClockChanges += SkipLeft + 1;
  FrameMillis = nowMillis >= due + SlowSkip + 1 ? nowMillis : due;
  LastClock = static_cast<uint32_t>(FrameMillis);
  SkipLeft = SlowSkip;
}

// Frames run back to back need not look at the window's events after each one: once a
// millisecond still answers a close at once, and spares most of the event pump's cost.
bool EventsDue() {
  static uint64_t nextLook = 0;
  if (!Uncapped()) return true;
  const uint64_t now = PlatformMicros();
  if (now < nextLook) return false;
  nextLook = now + 1000;
  return true;
}

// Whether the next frame starts now. When it is not yet due, sleeps until it is and says no, so
// that the loop looks at its events again before the frame.
bool FrameDue() {
  if (Uncapped()) {
    // One millisecond per clock change: the trace counts the same changes as at 60 a second.
    StartFrameClock(ClockDueMillis());
    return true;
  }
  const uint64_t now = PlatformMicros();
  bool restart = false;
  const uint64_t due = CadenceDue(std::max(now, ClockDueMillis() * 1000), &restart);
  if (due > now) {
    PlatformWaitUntilMicros(due);
    return false;
  }
  CadenceStep(now, restart);
  StartFrameClock(now / 1000);
  return true;
}

}  // namespace

void PaceFrame() {
  uint64_t now = PlatformMicros();
  bool restart = false;
  const uint64_t due = CadenceDue(now, &restart);
  if (due > now) {
    PlatformWaitUntilMicros(due);
    now = due;
  }
  CadenceStep(now, restart);
}

void StandStill() {
  if (!SoundHeld) PlatformAudioPause(true);
  SoundHeld = true;
  PlatformWaitForEvent(STAND_STILL_WAIT_MS);
}

void EndStandStill() {
  if (SoundHeld) PlatformAudioPause(false);
  SoundHeld = false;
}

// The port's own per-frame duties: the state trace, and the end of a limited or replayed run.
void AfterFrame() {
  if (TraceActive()) TraceFrame();
  ++FramesRun;
  if (!DumpFramesDir.empty() && !DumpFailed && DumpEvery > 0 && FramesRun % DumpEvery == 0)
    DumpScreen();
  if ((FrameLimit > 0 && FramesRun >= FrameLimit) || ReplayExhausted()) {
    if (ChecksumWanted) FinalChecksums = ChecksumLine();
    RequestShutdown();
    PostQuitMessage(0);
  }
}

bool AutomaticRun() { return FrameLimit > 0 || ReplayIsPlaying(); }

int32_t MessageLoop() {
  FrameMillis = PlatformMicros() / 1000;
  LastClock = static_cast<uint32_t>(FrameMillis);
  for (;;) {
    if (EventsDue() && PlatformEventWaiting()) {
      PlatformEvent event;
      if (PlatformNextEvent(&event)) MainWindowProc(event);
      continue;
    }
    if (QuitPosted) {
      QuitPosted = false;
      return QuitCode;
    }
    // An automatic run does not wait for the window to get focus (a display without a window
    // manager, or none at all, may never give it). A paused game stands still the same way.
    if ((AppActive != 1 && !AutomaticRun()) || GamePaused) {
      StandStill();
      continue;
    }
    EndStandStill();
    if (!FrameDue()) continue;
    SystemFrame();
    AfterFrame();
  }
}
