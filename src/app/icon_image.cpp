// Decoding of the window icon: the icon-file directory and its device-independent bitmaps.
#include "app/icon_image.h"

#include <utility>

#include "core/bytes.h"
#include "platform/platform.h"

namespace {

constexpr size_t DIR_HEADER = 6, DIR_ENTRY = 16, INFO_HEADER = 40;
constexpr int32_t MAX_ICON_SIDE = 256;

size_t RowBytes(int32_t width, uint32_t bits) {
  return ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
}

// Index or colour of pixel x in a row of the colour image.
uint32_t PixelBits(const uint8_t* row, int32_t x, uint32_t bits) {
  switch (bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xF;
    case 8:
      return row[x];
    default:
      return 0;
  }
}

// One image: a 40-byte information header whose height counts colour image and mask together.
bool DecodeImage(const uint8_t* p, size_t size, IconImage* out) {
  if (size < INFO_HEADER || ReadLe32(p) < INFO_HEADER || ReadLe32(p) > size) return false;
  const int32_t width = static_cast<int32_t>(ReadLe32(p + 4));
  const int32_t doubled = static_cast<int32_t>(ReadLe32(p + 8));
  const uint32_t bits = ReadLe16(p + 14);
  const uint32_t compression = ReadLe32(p + 16);
  if (width <= 0 || width > MAX_ICON_SIDE || doubled <= 0 || doubled % 2 != 0 ||
      doubled / 2 > MAX_ICON_SIDE || compression != 0) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const int32_t height = doubled / 2;
  const size_t header = ReadLe32(p);
  uint32_t colours = bits <= 8 ? ReadLe32(p + 32) : 0;
  if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
  const size_t tableBytes = static_cast<size_t>(colours) * 4;
  const size_t colourRow = RowBytes(width, bits), maskRow = RowBytes(width, 1);
  const size_t need = header + tableBytes + colourRow * height + maskRow * height;
  if (need > size) return false;
  const uint8_t* table = p + header;
  const uint8_t* image = table + tableBytes;
  const uint8_t* mask = image + colourRow * height;
  IconImage img;
  img.width = width;
  img.height = height;
  img.rgba.resize(static_cast<size_t>(width) * height * 4);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = image + colourRow * (height - 1 - y);  // rows are stored bottom up
    const uint8_t* maskBits = mask + maskRow * (height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* o = &img.rgba[(static_cast<size_t>(y) * width + x) * 4];
      const bool hidden = ((maskBits[x >> 3] >> (7 - (x & 7))) & 1) != 0;
      const uint8_t* bgr = nullptr;
      if (bits <= 8) {
        const uint32_t index = PixelBits(row, x, bits);
        if (index >= colours) return false;
        bgr = table + index * 4;
      } else {
        bgr = row + static_cast<size_t>(x) * (bits / 8);
      }
      o[0] = bgr[2];
      o[1] = bgr[1];
      o[2] = bgr[0];
      o[3] = bits == 32 ? bgr[3] : (hidden ? 0 : 255);
    }
  }
  *out = std::move(img);
  return true;
}

}  // namespace

bool DecodeIcon(const uint8_t* bytes, size_t size, IconImage* out) {
  if (bytes == nullptr || size < DIR_HEADER || ReadLe16(bytes) != 0 || ReadLe16(bytes + 2) != 1) {
    return false;
  }
  const uint32_t count = ReadLe16(bytes + 4);
  if (count == 0 || DIR_HEADER + static_cast<size_t>(count) * DIR_ENTRY > size) return false;
  bool found = false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = bytes + DIR_HEADER + static_cast<size_t>(i) * DIR_ENTRY;
    const uint32_t length = ReadLe32(e + 8), offset = ReadLe32(e + 12);
    if (offset > size || length > size - offset) continue;
    IconImage candidate;
    if (!DecodeImage(bytes + offset, length, &candidate)) continue;
    if (!found || candidate.width * candidate.height > out->width * out->height) {
      *out = std::move(candidate);
      found = true;
    }
  }
  return found;
}

bool LoadIconResource(const char* name, IconImage* out) {
  const uint8_t* data = nullptr;
  size_t size = 0;
  return PlatformFindResource(name, "ICON", &data, &size) && DecodeIcon(data, size, out);
}
