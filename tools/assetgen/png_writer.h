// A small PNG writer for the generator's pictures: the icon file and the review sheets.
#pragma once
#include <cstdint>
#include <vector>

#include "sheet_canvas.h"

// The canvas as an 8-bit PNG: RGB, or RGBA with black fully clear when `blackIsClear`.
// Stored (uncompressed) deflate blocks are valid and need no library.
std::vector<uint8_t> EncodePng(const Canvas& img, bool blackIsClear = false);
