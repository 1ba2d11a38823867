// The globe against the field's edges and cells, rams, and the world-space blits.
#pragma once
#include <cstdint>

#include "core/math_helpers.h"

// Bounces the globe off edges and cells; 1 when it touched an edge this frame.
int32_t CollideGlobe();
// One ram of cell i of type t; 1 when the object broke.
int32_t DamageCell(int32_t i, int32_t t);
// Blits a sheet box to a world position on the screen.
void DrawAtWorld(int32_t x, int32_t y, Box src);
// As DrawAtWorld, shrunk toward the corner to pw and ph percent.
void DrawAtWorldScaled(int32_t x, int32_t y, Box src, int32_t pw, int32_t ph);
