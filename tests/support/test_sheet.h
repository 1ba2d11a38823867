// A generated test sheet with known contents, installed as "BMP_00" on the scripted machine.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The GamePalette index the loaded test sheet (319 x 240) holds at (x, y): 11..245, black (0)
// only in the box (288, 224, 31, 16).
uint8_t TestSheetIndex(int32_t x, int32_t y);
// An 8-bit bitmap (rows top first in pixels), as a resource or, with fileHeader, as a file.
std::vector<uint8_t> MakeBitmapBytes(int32_t width, int32_t height, const PlatformColor* table,
                                     int32_t tableSize, const std::vector<uint8_t>& pixels,
                                     bool fileHeader);
// Resets the scripted display, installs the test sheet, starts the display and loads the sheet
// into SheetSurface with black as its key, as the boot scene does; true when all of it worked.
bool StartTestDisplay();
// Releases everything StartTestDisplay made (gf_DD_Release with the display object).
void StopTestDisplay();
