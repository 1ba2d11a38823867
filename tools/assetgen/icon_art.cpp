// The window icon "ICN_01": the earth globe with the moon in front of it.
//
// Resource format: a 40-byte bitmap information header (size 40, width 48, height 48 positive =
// rows stored bottom row first, planes 1, 32 bits per pixel, compression 0, image size 9216,
// 2834 pixels per metre both ways, 0 colours used, 0 important), then 48 rows of 48 pixels of
// four bytes each: blue, green, red, alpha (0 transparent, 255 opaque). 9,256 bytes in all.
#include "assetgen.h"
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
  std::vector<uint8_t> out;
  PutLe(out, 40, 4);
  PutLe(out, kIconSize, 4);
  PutLe(out, kIconSize, 4);
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, 0, 4);
  PutLe(out, kIconSize * kIconSize * 4, 4);
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
  return out;
}

bool WriteIcon(const std::filesystem::path& outDir) {
  return WriteFileBytes(ResourcePath(outDir, "ICON", "ICN_01"), EncodeIcon(IconPicture()));
}

AssetWriterRegistration reg("icon", WriteIcon);
}  // namespace
