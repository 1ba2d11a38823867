// The battle picture: crosshair, pulsing objects, globe, boss, HUD bars and texts, radar.
#include "battle/field_view.h"

#include <cstdio>

#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/field_objects.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"

namespace {

constexpr int32_t CROSSHAIR_COLOUR = 24;
constexpr int32_t HUD_COLOUR = 255;
constexpr const char* MODE_WORDS[3] = {"SUN", "TERA", "MOON"};

void DrawCrosshair(int32_t sy) {
  gf_DD_LineDraw(ScreenSurface, 0, sy, 319, sy, CROSSHAIR_COLOUR);
  gf_DD_LineDraw(ScreenSurface, PlayerGlobe.x, 0, PlayerGlobe.x, 239, CROSSHAIR_COLOUR);
}

// Breakable objects jitter and shrink at random every frame: four numbers per object.
void DrawPulsing(int32_t x, int32_t y, Box picture) {
  const int32_t jx = NextRandom() & 7;
  const int32_t jy = NextRandom() & 7;
  const int32_t ph = 80 + NextRandom() % 20;
  const int32_t pw = 80 + NextRandom() % 20;
  DrawAtWorldScaled(x + jx, y + jy, picture, pw, ph);
}

void DrawCells() {
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    const int32_t t = CellTypes[i];
    const int32_t x = CELL_WIDTH * (i % FIELD_COLUMNS);
    const int32_t y = CELL_HEIGHT * (i / FIELD_COLUMNS);
    if (t == CELL_ROCK) {
      DrawAtWorld(x, y, CELL_PICTURES[CELL_ROCK]);
    } else if (t >= CELL_RED && t <= CELL_BLUE) {
      DrawPulsing(x, y, CELL_PICTURES[t]);
    }
  }
}

void DrawText(const char* format, int32_t value, int32_t x, int32_t y) {
  char text[32];
  std::snprintf(text, sizeof text, format, static_cast<int>(value));
  gf_TextDraw(text, x, y);
}

void DrawHud() {
  gf_DD_BoxMesh(ScreenSurface, Box{0, 0, 319, 16}, 2, 2, HUD_COLOUR);
  gf_DD_BoxMesh(ScreenSurface, Box{0, 223, 319, 16}, 2, 2, HUD_COLOUR);
  DrawText("SCORE %d0", Score, 4, 0);
  DrawText("TIME %d", TimeLeft, 136, 0);
  DrawText("SPEED %d", static_cast<int32_t>(PlayerGlobe.speed), 4, 224);
  DrawText("ENELGY %d", PlayerGlobe.energy, 112, 224);
  gf_TextDraw(MODE_WORDS[PlayerGlobe.mode], 240, 224);
}

// The mini-map from the sheet, and the globe as a dot at 1:16.
void DrawRadar() {
  gf_DD_Blt(SheetSurface, RADAR_PANEL, ScreenSurface, Box{292, 186, 22, 32});
  gf_DD_PDraw(ScreenSurface, 293 + PlayerGlobe.x / 16, 187 + PlayerGlobe.y / 16, HUD_COLOUR);
}

}  // namespace

int32_t DrawField() {
  const int32_t sy = PlayerGlobe.y - CameraTop();
  GlobeScreenX = PlayerGlobe.x - 24;
  GlobeScreenY = sy - 24;
  DrawCrosshair(sy);
  DrawCells();
  gf_DD_Blt(SheetSurface, GLOBE_PICTURES[PlayerGlobe.mode], ScreenSurface,
            Box{GlobeScreenX, GlobeScreenY, 47, 47});
  if (MissionIndex == BOSS_MISSION) DrawAtWorld(BossState.x, BossState.y, BOSS_PICTURE);
  DrawHud();
  DrawRadar();
  return 1;
}
