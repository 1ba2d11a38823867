// The message loop: window events between frames, one frame per observed clock change, paced.
#pragma once
#include <cstdint>
#include <string>

#include "core/scene_state.h"  // ClockChanges

// "/S": the clock changes passed over between frames, so that every 41st runs one.
constexpr uint32_t SLOW_SKIP_CHANGES = 40;

extern int32_t AppActive;       // 1 while the program is the active application
extern uint32_t LastClock;      // the millisecond of the last frame
extern uint32_t SlowSkip;       // 0, or SLOW_SKIP_CHANGES with "/S"
extern uint32_t SkipLeft;       // changes to skip before the next frame
extern int64_t FrameLimit;      // frames to run before the program ends; 0 = no limit (--frames)
extern int32_t FrameRateLimit;  // frames per second the pacer holds; 0 = no wait (--fps)

// Asks the loop to end with this exit code once the events already queued are handled.
void PostQuitMessage(int32_t exitCode);
// Whether a quit message is waiting for the loop.
bool QuitPending();
// Forgets a posted quit and restarts the frame cadence (a new loop starts afresh).
void ResetMessageLoop();
// Waits for the next frame deadline of the FrameRateLimit cadence (no wait when it is 0).
void PaceFrame();
// Holds the game still for a while: no frame, every sound held where it is, asleep until an event
// comes. The loop calls it while the window is inactive; anything else that holds the game (a
// pause) calls it in the same way, and EndStandStill before the next frame.
void StandStill();
// Lets the sound go on from where StandStill held it.
void EndStandStill();
// A limited or replayed run plays by itself: nobody is there to answer a question.
bool AutomaticRun();
// Runs until the quit message; returns its exit code.
int32_t MessageLoop();

// Headless runs: main fills these from --dump-frames, --dump-every and --checksum.
extern std::string DumpFramesDir;  // write the screen as a PNG here every DumpEvery frames
extern int64_t DumpEvery;
extern bool ChecksumWanted;  // keep the checksums of the last frame for the exit line
// "checksum screen=XXXXXXXX state=XXXXXXXX" of the screen and of the state now.
std::string ChecksumLine();
// The same for the last frame that ran, as printed at exit.
std::string ExitChecksumLine();
bool FrameDumpFailed();
