// The window icon: an icon-file image (directory of bitmap images) decoded to RGBA pixels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct IconImage {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // rows top first, 4 bytes a pixel
};

// Decodes the largest bitmap image of an icon file (1, 4, 8, 24 or 32 bits per pixel, with its
// transparency mask). False, with out untouched, when the bytes are not a usable icon.
bool DecodeIcon(const uint8_t* bytes, size_t size, IconImage* out);
// The built-in icon resource of that name, decoded.
bool LoadIconResource(const char* name, IconImage* out);
