// The boot frame (seed, game progress, sheet and sounds) and the maker's logo.
#pragma once
#include <cstdint>

// Sheet box of the maker's logo.
inline constexpr int32_t LOGO_SX = 0, LOGO_SY = 144, LOGO_W = 176, LOGO_H = 32;

int32_t BootFrame();
int32_t EnterLogo();
int32_t LogoFrame();
