// The generator's pictures as PNG files, through the game's own PNG encoder.
#include "png_writer.h"

#include "gfx/png_file.h"

std::vector<uint8_t> EncodePng(const Canvas& img, bool blackIsClear) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < img.height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < img.width; ++x) {
      const Rgb c = img.At(x, y);
      raw.insert(raw.end(), {c.r, c.g, c.b});
      if (blackIsClear) raw.push_back(c == kBlack ? 0 : 255);
    }
  }
  return EncodePngFile(static_cast<uint32_t>(img.width), static_cast<uint32_t>(img.height),
                       blackIsClear ? 6 : 2, {}, raw);  // RGB(A)
}
