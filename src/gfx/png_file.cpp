// Writing an indexed picture to a PNG file, enlarged by whole pixels.
#include "gfx/png_file.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Large enough for any window; keeps the file size arithmetic far from overflow.
constexpr int32_t MAX_SCALE = 64;
constexpr int32_t MAX_SIDE = 1 << 16;
// zlib's default: level 9 saves a tenth more at three to five times the time, and a screenshot
// is compressed on the game thread.
constexpr int COMPRESSION_LEVEL = 6;

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& body) {
  PutBig32(out, static_cast<uint32_t>(body.size()));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  PutBig32(out, static_cast<uint32_t>(crc32_z(0, out.data() + typeAt, out.size() - typeAt)));
}

// The filtered scanlines: each enlarged row, preceded by filter type 0, repeated `scale` times.
std::vector<uint8_t> Scanlines(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                               int32_t scale) {
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(scale) + 1;
  std::vector<uint8_t> raw;
  raw.reserve(rowBytes * static_cast<size_t>(height) * static_cast<size_t>(scale));
  std::vector<uint8_t> row(rowBytes, 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* src = pixels + static_cast<ptrdiff_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x)
      std::memset(row.data() + 1 + static_cast<size_t>(x) * static_cast<size_t>(scale), src[x],
                  static_cast<size_t>(scale));
    for (int32_t r = 0; r < scale; ++r) raw.insert(raw.end(), row.begin(), row.end());
  }
  return raw;
}

// The scanlines as one zlib stream; empty when zlib has no memory for it.
std::vector<uint8_t> Compressed(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(raw.size());
  std::vector<uint8_t> z(size);
  if (compress2(z.data(), &size, raw.data(), raw.size(), COMPRESSION_LEVEL) != Z_OK) return {};
  z.resize(size);
  return z;
}

bool Fail(std::string* error, std::string why) {
  if (error) *error = std::move(why);
  return false;
}

}  // namespace

std::vector<uint8_t> EncodePngFile(uint32_t width, uint32_t height, uint8_t colourType,
                                   const std::vector<uint8_t>& plte,
                                   const std::vector<uint8_t>& scanlines) {
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {8, colourType, 0, 0, 0});  // deflate, filter 0, no interlace
  PutChunk(png, "IHDR", header);
  if (!plte.empty()) PutChunk(png, "PLTE", plte);
  const std::vector<uint8_t> idat = Compressed(scanlines);
  if (idat.empty()) return {};
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  return png;
}

bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, const PlatformColor palette[256], int32_t scale,
                     std::string* error) {
  if (!path || !pixels || !palette) return Fail(error, "no picture or no file name");
  if (width <= 0 || height <= 0 || pitch < width || scale < 1 || scale > MAX_SCALE ||
      width * scale > MAX_SIDE || height * scale > MAX_SIDE)
    return Fail(error, "picture size out of range");

  std::vector<uint8_t> plte;
  for (int32_t i = 0; i < 256; ++i)
    plte.insert(plte.end(), {palette[i].r, palette[i].g, palette[i].b});
  const std::vector<uint8_t> png =
      EncodePngFile(static_cast<uint32_t>(width * scale), static_cast<uint32_t>(height * scale), 3,
                    plte, Scanlines(pixels, pitch, width, height, scale));
  if (png.empty()) return Fail(error, "no memory to compress the picture");

  FILE* f = std::fopen(path, "wb");
  if (!f) return Fail(error, std::string(path) + ": " + std::strerror(errno));
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  const int savedErrno = errno;
  if (std::fclose(f) != 0 || !written) {
    std::remove(path);
    return Fail(error, std::string(path) + ": " + std::strerror(written ? errno : savedErrno));
  }
  return true;
}
