// Writing an indexed picture to a PNG file, enlarged by whole pixels.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

// Writes `width` x `height` palette indices (rows `pitch` bytes apart) as an 8-bit palette PNG,
// each pixel repeated `scale` times across and down. On failure nothing is left at `path` and
// `error` (when given) says why.
bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, const PlatformColor palette[256], int32_t scale,
                     std::string* error);

// A whole PNG file: the header for width x height at 8 bits of `colourType` (2 RGB, 3 palette,
// 6 RGBA), the palette when `plte` is not empty, and the filtered scanlines compressed with zlib.
// The same input gives the same bytes every time. Empty when zlib could not compress (no memory).
std::vector<uint8_t> EncodePngFile(uint32_t width, uint32_t height, uint8_t colourType,
                                   const std::vector<uint8_t>& plte,
                                   const std::vector<uint8_t>& scanlines);
