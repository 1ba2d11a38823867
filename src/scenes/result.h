// The result after a won mission: bonus points counted into the score, then the next mission.
#pragma once
#include <cstdint>

int32_t EnterResult();
int32_t ResultFrame();
