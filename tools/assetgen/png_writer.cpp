// The PNG writer: one IHDR, one IDAT of stored deflate blocks, IEND.
#include "png_writer.h"

#include <algorithm>

namespace {
uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  out.insert(out.end(), {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                         static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, Crc32(out.data() + start, out.size() - start));
}
}  // namespace

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
  std::vector<uint8_t> z{0x78, 0x01};
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n == raw.size();
    z.insert(z.end(),
             {static_cast<uint8_t>(last), static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
              static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<long>(pos),
             raw.begin() + static_cast<long>(pos + n));
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, b << 16 | a);

  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> head;
  PutBe32(head, static_cast<uint32_t>(img.width));
  PutBe32(head, static_cast<uint32_t>(img.height));
  head.insert(head.end(), {8, static_cast<uint8_t>(blackIsClear ? 6 : 2), 0, 0, 0});  // RGB(A)
  PutChunk(out, "IHDR", head);
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", {});
  return out;
}
