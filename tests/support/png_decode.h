// A PNG reader for what the game's encoder writes, to check its files in tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DecodedPng {
  uint32_t width = 0, height = 0;
  uint8_t colourType = 0;          // 2 RGB, 3 palette, 6 RGBA
  std::vector<uint8_t> palette;    // r, g, b triples; empty without PLTE
  std::vector<uint8_t> scanlines;  // inflated: each row's filter byte, then its samples
};

// Reads IHDR, PLTE when there is a palette, one IDAT, IEND, at 8 bits per sample, not
// interlaced, checking every CRC and the zlib stream. Returns the first rule the file breaks,
// or nothing when it decoded.
std::string DecodePng(const std::vector<uint8_t>& file, DecodedPng* png);
