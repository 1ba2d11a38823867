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
