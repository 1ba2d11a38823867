// The window icon "ICN_01": the earth globe with the moon in front of it.
//
// Resource format: an icon file with one image. Directory (reserved 0, type 1, count 1), one
// 16-byte entry (48, 48, 0 colours, 0, planes 1, 32 bits, 9,640 bytes, offset 22), then the
// image: a 40-byte information header whose height (96) counts colour rows and mask rows, 48
// bottom-up rows of 48 pixels (blue, green, red, alpha: 0 clear, 255 opaque) and 48 bottom-up
// rows of the 1-bit mask (1 = clear), each padded to 8 bytes. 9,662 bytes in all.
// The same picture is also written as OUT/zizid-ozavav.png, the icon the desktop entry shows.
#include "assetgen.h"
#include "png_writer.h"
#include "sheet_art.h"

namespace {
constexpr int kIconSize = 48;

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The earth at its sheet size, with the moon shrunk to a third tucked into the lower right.
Canvas IconPicture() {
  Canvas icon(kIconSize, kIconSize);
  Paste(icon, DrawEarth(), 0, 0);
  const Canvas moon = DrawMoon();
  constexpr int kMoonSize = 18;
  for (int y = 0; y < kMoonSize; ++y) {
    for (int x = 0; x < kMoonSize; ++x) {
      const Rgb c = moon.At(x * 47 / kMoonSize, y * 47 / kMoonSize);
      if (!(c == kBlack)) icon.Set(kIconSize - kMoonSize + x, kIconSize - kMoonSize + y, c);
    }
  }
  return icon;
}

std::vector<uint8_t> EncodeIcon(const Canvas& icon) {
  constexpr int kMaskRow = 8;  // 48 bits padded to a multiple of four bytes
  constexpr int kImageBytes = 40 + kIconSize * kIconSize * 4 + kIconSize * kMaskRow;
  std::vector<uint8_t> out;
  PutLe(out, 0, 2);
  PutLe(out, 1, 2);  // an icon, not a cursor
  PutLe(out, 1, 2);  // one image
  out.insert(out.end(), {kIconSize, kIconSize, 0, 0});
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, kImageBytes, 4);
  PutLe(out, 22, 4);

  PutLe(out, 40, 4);
  PutLe(out, kIconSize, 4);
  PutLe(out, 2 * kIconSize, 4);  // colour rows and mask rows together
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, 0, 4);
  PutLe(out, kImageBytes - 40, 4);
  PutLe(out, 2834, 4);
  PutLe(out, 2834, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kIconSize; ++x) {
      const Rgb c = icon.At(x, y);
      out.insert(out.end(), {c.b, c.g, c.r, static_cast<uint8_t>(c == kBlack ? 0 : 255)});
    }
  }
  for (int y = kIconSize - 1; y >= 0; --y) {
    uint8_t row[kMaskRow] = {};
    for (int x = 0; x < kIconSize; ++x) {
      if (icon.At(x, y) == kBlack) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    out.insert(out.end(), row, row + kMaskRow);
  }
  return out;
}

bool WriteIcon(const std::filesystem::path& outDir) {
  const Canvas icon = IconPicture();
  std::vector<uint8_t> rgba;
  for (const Rgb& c : icon.pixels)
    rgba.insert(rgba.end(), {c.r, c.g, c.b, static_cast<uint8_t>(c == kBlack ? 0 : 255)});
  return WriteFileBytes(ResourcePath(outDir, "ICON", "ICN_01"), EncodeIcon(icon)) &&
         WriteRgbaPng(outDir / "zizid-ozavav.png", kIconSize, kIconSize, rgba);
}

AssetWriterRegistration reg("icon", WriteIcon);
}  // namespace
