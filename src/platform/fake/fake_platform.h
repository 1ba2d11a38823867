// Controls of the scripted machine: what tests set, advance and read back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// ---- Resources and diagnostics -----------------------------------------------------------
// A resource the test supplies; it hides a built-in one of the same name and type.
void FakeSetResource(const char* name, const char* type, std::vector<uint8_t> bytes);
void FakeRemoveResource(const char* name, const char* type);
// Whether the real built-in resources (sheet, effects, icon) are visible; on by default.
void FakeUseEmbeddedResources(bool use);
// Every line the game wrote to its diagnostic output, in order.
const std::vector<std::string>& FakeDebugLines();
void FakeClearDebugLines();

// ---- Display -------------------------------------------------------------------------------
// What the scripted display was last asked to show.
struct FakeDisplayFrame {
  std::vector<uint8_t> pixels;  // width * height indices, rows top first
  int32_t width = 0, height = 0;
  uint8_t palette[256][4] = {};  // red, green, blue, flags
  int32_t destX = 0, destY = 0, destW = 0, destH = 0;
};
void FakeDisplayReset();                  // closed, no picture, no scripted failures, counts 0
void FakeDisplayFailOpen(bool fail);      // PlatformDisplayOpen refuses while set
void FakeDisplayFailSetMode(bool fail);   // PlatformDisplaySetMode refuses while set
void FakeDisplayLose();                   // presentations report lost until a restore
void FakeDisplayFailRestore(bool fail);   // PlatformDisplayRestore refuses while set
bool FakeDisplayIsOpen();
bool FakeDisplayAccelerated();
bool FakeDisplayFullScreenMode();         // PlatformDisplaySetMode succeeded since the open
int32_t FakeDisplayPresentCount();        // pictures shown
int32_t FakeDisplayRestoreCount();        // restore requests
const FakeDisplayFrame& FakeDisplayLastFrame();
