// The generator's pictures as PNG files, through the game's own PNG encoder.
#include "png_writer.h"

#include <cstdio>

#include "assetgen.h"
#include "gfx/png_file.h"

namespace {
// Rows of `rowBytes` samples, each after its filter byte (0: none).
std::vector<uint8_t> Scanlines(const std::vector<uint8_t>& samples, size_t rowBytes) {
  std::vector<uint8_t> raw;
  for (size_t at = 0; at < samples.size(); at += rowBytes) {
    raw.push_back(0);
    raw.insert(raw.end(), samples.begin() + static_cast<ptrdiff_t>(at),
               samples.begin() + static_cast<ptrdiff_t>(at + rowBytes));
  }
  return raw;
}

bool Write(const std::filesystem::path& path, int width, int height, uint8_t colourType,
           const std::vector<uint8_t>& samples, size_t perPixel) {
  const std::vector<uint8_t> png =
      EncodePngFile(static_cast<uint32_t>(width), static_cast<uint32_t>(height), colourType, {},
                    Scanlines(samples, static_cast<size_t>(width) * perPixel));
  if (png.empty()) {
    std::fprintf(stderr, "assetgen: no memory to compress %s\n", path.string().c_str());
    return false;
  }
  return WriteFileBytes(path, png);
}
}  // namespace

bool WritePng(const std::filesystem::path& path, const Canvas& img) {
  std::vector<uint8_t> rgb;
  rgb.reserve(img.pixels.size() * 3);
  for (const Rgb& c : img.pixels) rgb.insert(rgb.end(), {c.r, c.g, c.b});
  return Write(path, img.width, img.height, 2, rgb, 3);
}

bool WriteRgbaPng(const std::filesystem::path& path, int width, int height,
                  const std::vector<uint8_t>& rgba) {
  return Write(path, width, height, 6, rgba, 4);
}
