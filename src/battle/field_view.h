// The battle picture: crosshair, cells, globe, boss, HUD bars and texts, radar.
#pragma once
#include <cstdint>

#include "core/math_helpers.h"

// Sheet boxes of the battle's pictures, by mode and by cell type.
constexpr Box GLOBE_PICTURES[3] = {{176, 32, 47, 47}, {224, 32, 47, 47}, {272, 32, 47, 47}};
constexpr Box CELL_PICTURES[4] = {
    {176, 80, 64, 48}, {240, 80, 64, 48}, {176, 128, 64, 48}, {240, 128, 64, 48}};
constexpr Box BOSS_PICTURE = {176, 208, 32, 32};

// Draws one frame of the field and sets GlobeScreenX and GlobeScreenY.
int32_t DrawField();
