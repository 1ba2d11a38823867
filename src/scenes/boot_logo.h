// The boot frame (seed, game progress, sheet and sounds) and the maker's logo.
#pragma once
#include <cstdint>

int32_t BootFrame();
int32_t EnterLogo();
int32_t LogoFrame();
