// The generator's PNG files: the desktop icons and the review sheets.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "sheet_canvas.h"

// The canvas as an 8-bit RGB PNG file. False, after saying why on stderr, when not written.
bool WritePng(const std::filesystem::path& path, const Canvas& img);
// width x height pixels of r, g, b, alpha (top row first) as an 8-bit RGBA PNG file.
bool WriteRgbaPng(const std::filesystem::path& path, int width, int height,
                  const std::vector<uint8_t>& rgba);
