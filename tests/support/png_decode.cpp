// A PNG reader for what the game's encoder writes, to check its files in tests.
#include "support/png_decode.h"

#include <zlib.h>

#include <algorithm>

#include "core/bytes.h"

std::string DecodePng(const std::vector<uint8_t>& f, DecodedPng* png) {
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (f.size() < 8 || !std::equal(signature, signature + 8, f.begin())) return "signature";
  std::vector<std::string> types;
  std::vector<std::vector<uint8_t>> bodies;
  for (size_t at = 8; at != f.size(); at += 12 + bodies.back().size()) {
    if (at + 12 > f.size() || at + 12 + ReadBe32(&f[at]) > f.size()) return "chunk past the end";
    const uint32_t length = ReadBe32(&f[at]);
    types.emplace_back(f.begin() + at + 4, f.begin() + at + 8);
    if (ReadBe32(&f[at + 8 + length]) != crc32(0, &f[at + 4], length + 4))
      return types.back() + " check";
    bodies.emplace_back(f.begin() + at + 8, f.begin() + at + 8 + length);
  }
  if (types.empty() || types[0] != "IHDR" || bodies[0].size() != 13) return "no header";
  const std::vector<uint8_t>& ihdr = bodies[0];
  if (ihdr[8] != 8 || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0) return "header";
  png->width = ReadBe32(&ihdr[0]);
  png->height = ReadBe32(&ihdr[4]);
  png->colourType = ihdr[9];
  const bool palette = png->colourType == 3;
  const std::vector<std::string> expected =
      palette ? std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}
              : std::vector<std::string>{"IHDR", "IDAT", "IEND"};
  if (types != expected) return "chunk order";
  if (palette) png->palette = bodies[1];
  const size_t samples = png->colourType == 6 ? 4 : png->colourType == 2 ? 3 : 1;
  const size_t rawSize = png->height * (png->width * samples + 1);
  const std::vector<uint8_t>& idat = bodies[palette ? 2 : 1];
  png->scanlines.resize(rawSize + 1);  // one spare byte shows a stream that is too long
  uLongf size = png->scanlines.size();
  if (uncompress(png->scanlines.data(), &size, idat.data(), idat.size()) != Z_OK) return "zlib";
  if (size != rawSize) return "scanline bytes";
  png->scanlines.resize(size);
  return "";
}
