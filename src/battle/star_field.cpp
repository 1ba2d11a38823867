// The drifting sparkles behind most screens: renewal, movement and drawing.
#include "battle/star_field.h"

#include "core/math_helpers.h"
#include "gfx/surface.h"

Star StarField[STAR_COUNT] = {};

namespace {

constexpr Box STAR_PICTURES[2] = {{240, 208, 31, 31}, {272, 208, 31, 31}};

// A new sparkle enters at the top moving down and left, or at the bottom moving up and right.
// Five random numbers, always in this order.
void RenewStar(Star& s) {
  if ((NextRandom() & 0xFF) > 128) {
    s.x = NextRandom() % 300;
    s.y = -30;
    s.dx = -1;
    s.dy = (NextRandom() & 7) + 1;
  } else {
    s.x = NextRandom() % 300;
    s.y = 240;
    s.dx = 1;
    s.dy = -1 - (NextRandom() & 7);
  }
  s.kind = (NextRandom() >> 2) & 1;
  s.size = 32 - (NextRandom() & 15);
  s.phase = 0;
}

}  // namespace

int32_t StarFieldStep(int32_t reset) {
  for (Star& s : StarField) {
    if (s.y < -32 || s.y > 240 || reset != 0) RenewStar(s);
    // The phase only ever matters modulo 256; let it wrap instead of overflowing.
    s.phase = static_cast<int32_t>(static_cast<uint32_t>(s.phase) + 8u);
    s.x += s.dx;
    s.y += s.dy;
    const int32_t sway = ScaledCos(s.phase & 255, 16);
    gf_DD_Blt(SheetSurface, STAR_PICTURES[s.kind & 1], ScreenSurface,
              Box{s.x + sway, s.y, s.size, s.size});
  }
  return 1;
}
