// Writing an indexed picture to a PNG file, enlarged by whole pixels.
#include "gfx/png_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Large enough for any window; keeps the file size arithmetic far from overflow.
constexpr int32_t kMaxScale = 64;
constexpr int32_t kMaxSide = 1 << 16;
// The largest payload of one stored deflate block.
constexpr size_t kStoredBlock = 65535;

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

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
  PutBig32(out, PngCrc32(out.data() + typeAt, out.size() - typeAt));
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

// A zlib stream of stored (uncompressed) deflate blocks: the picture is small and this needs no
// compressor.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> z{0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min(kStoredBlock, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at),
             raw.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  PutBig32(z, ZlibAdler32(raw.data(), raw.size()));
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
  PutChunk(png, "IDAT", StoredZlib(scanlines));
  PutChunk(png, "IEND", {});
  return png;
}

uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc) {
  const auto& table = CrcTable();
  uint32_t c = crc ^ 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t ZlibAdler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521u;
    b = (b + a) % 65521u;
  }
  return (b << 16) | a;
}

bool WriteIndexedPng(const char* path, const uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, const PlatformColor palette[256], int32_t scale,
                     std::string* error) {
  if (!path || !pixels || !palette) return Fail(error, "no picture or no file name");
  if (width <= 0 || height <= 0 || pitch < width || scale < 1 || scale > kMaxScale ||
      width * scale > kMaxSide || height * scale > kMaxSide)
    return Fail(error, "picture size out of range");

  std::vector<uint8_t> plte;
  for (int32_t i = 0; i < 256; ++i)
    plte.insert(plte.end(), {palette[i].r, palette[i].g, palette[i].b});
  const std::vector<uint8_t> png =
      EncodePngFile(static_cast<uint32_t>(width * scale), static_cast<uint32_t>(height * scale), 3,
                    plte, Scanlines(pixels, pitch, width, height, scale));

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
