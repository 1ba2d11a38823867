// The ending after mission 10: drifting earth, staff roll and the swaying thanks.
#pragma once
#include <cstdint>

// 27 lines and a null end marker; an empty text is a blank line.
inline constexpr int32_t ENDING_LINE_COUNT = 27;
extern const char* const EndingLines[ENDING_LINE_COUNT + 1];

int32_t EnterEnding();
int32_t EndingFrame();
