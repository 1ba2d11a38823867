// The briefing before a new game: earth, moon and sun and the order, line by line.
#pragma once
#include <cstdint>

int32_t EnterBriefing();
int32_t BriefingFrame();
