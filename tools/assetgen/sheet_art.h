// The sheet's pictures: each function draws one picture on a canvas of its box's size.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "sheet_canvas.h"
#include "sheet_layout.h"

// The font's two rows (319x32): letters A to Z, then digits 0 to 9.
Canvas DrawFontRows();

Canvas DrawTitleGrey();    // 176x48
Canvas DrawTitleColour();  // 176x64
Canvas DrawMakerLogo();    // 176x32
Canvas DrawGameOver();     // 160x32

Canvas DrawSun();    // 47x47
Canvas DrawEarth();  // 47x47
Canvas DrawMoon();   // 47x47

// A globe's surface at one point of its sphere: a ramp, dark to light, and the place on it
// (0 = first colour, 4096 = last). The sheet dithers along the ramp; the desktop icons blend.
struct Shade {
  std::span<const Rgb> ramp;
  int v = 0;
};
Shade EarthShade(const SpherePoint& p);
// (bx, by) is the point on the moon's 47x47 box, in sixteenths of a pixel: where its craters are.
Shade MoonShade(const SpherePoint& p, int bx, int by);

Canvas DrawRedObject();    // 64x48
Canvas DrawGreenObject();  // 64x48
Canvas DrawBlueObject();   // 64x48
Canvas DrawRock();         // 64x48

Canvas DrawBoss();                // 32x32
Canvas DrawExplosion(int frame);  // 32x32, frames 0 to 3
Canvas DrawSparkle(int kind);     // 31x31, kinds 0 and 1

// The whole 319x240 sheet with every picture in its box and black elsewhere.
Canvas BuildSheetPicture();

// The sheet's colour table: black first, then the cube, then white; 256 entries.
std::vector<Rgb> SheetColourTable();

// The sheet as the bitmap resource (information header, colour table, rows) and as a file.
std::vector<uint8_t> EncodeSheetResource(const Canvas& sheet);
std::vector<uint8_t> EncodeSheetFile(const Canvas& sheet);
