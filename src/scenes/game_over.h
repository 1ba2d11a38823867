// The game-over screen: curtain, shrinking lettering, hi-score and the way back to the title.
#pragma once
#include <cstdint>

int32_t EnterGameOver();
int32_t GameOverFrame();
