// --trace FILE: one JSON object per frame with the game's documented state, for outside checks.
#pragma once
#include <string>

bool TraceOpen(const char* path, std::string* error);
bool TraceActive();
// Writes the line of the frame that SystemFrame has just run.
void TraceFrame();
// False when a line or the close failed (already told on stderr).
bool TraceClose();
// The line that TraceFrame would write for the current state (frame number given).
std::string TraceLine(unsigned long long frame);
