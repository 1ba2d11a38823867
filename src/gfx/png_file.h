// Writing an indexed picture to a PNG file, enlarged by whole pixels.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

// Writes `width` x `height` palette indices (rows `pitch` bytes apart) as an 8-bit palette PNG,
// each pixel repeated `scale` times across and down. On failure nothing is left at `path` and
// `error` (when given) says why.
bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, const PlatformColor palette[256], int32_t scale,
                     std::string* error);

// The CRC-32 PNG chunks carry, and the Adler-32 that ends a zlib stream.
uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t ZlibAdler32(const uint8_t* data, size_t size);
