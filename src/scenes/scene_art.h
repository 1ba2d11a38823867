// Sheet boxes shared by the screens outside the battle, and the one blit they all use.
#pragma once
#include <cstdint>

#include "core/math_helpers.h"

inline constexpr Box ART_GREY_TITLE = {0, 32, 176, 48};
inline constexpr Box ART_COLOUR_TITLE = {0, 80, 176, 64};
inline constexpr Box ART_SUN = {176, 32, 47, 47};
inline constexpr Box ART_EARTH = {224, 32, 47, 47};
inline constexpr Box ART_MOON = {272, 32, 47, 47};
inline constexpr Box ART_MAKER_LOGO = {0, 144, 176, 32};
inline constexpr Box ART_GAME_OVER = {0, 176, 160, 32};

// Copies a sheet box to the screen, stretched to w x h at (x, y).
void DrawArt(Box art, int32_t x, int32_t y, int32_t w, int32_t h);
// Copies a sheet box to the screen at its own size.
void DrawArt(Box art, int32_t x, int32_t y);
// Draws the lines of a rising text column (prologue, staff roll): line i at y 240 + 20*i - t.
void DrawRisingLines(const char* const* lines, uint32_t t);
