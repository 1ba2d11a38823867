// Where the 320x240 picture goes inside the area that shows it, for each scaling mode.
#include "platform/scaling.h"

#include <algorithm>
#include <cstring>

namespace {

PictureRect Centred(int32_t areaW, int32_t areaH, int32_t w, int32_t h) {
  return PictureRect{(areaW - w) / 2, (areaH - h) / 2, w, h};
}

// The largest rectangle of the picture's shape; the short side is rounded to the nearest pixel.
PictureRect AspectRect(int32_t areaW, int32_t areaH) {
  const int64_t w = areaW, h = areaH;
  if (w * PICTURE_HEIGHT <= h * PICTURE_WIDTH) {
    const auto fitH =
        static_cast<int32_t>((w * PICTURE_HEIGHT * 2 + PICTURE_WIDTH) / (PICTURE_WIDTH * 2));
    return Centred(areaW, areaH, areaW, fitH);
  }
  const auto fitW =
      static_cast<int32_t>((h * PICTURE_WIDTH * 2 + PICTURE_HEIGHT) / (PICTURE_HEIGHT * 2));
  return Centred(areaW, areaH, fitW, areaH);
}

}  // namespace

ScaleMode ParseScaleMode(const char* name) {
  if (name != nullptr && std::strcmp(name, "aspect") == 0) return SCALE_ASPECT;
  if (name != nullptr && std::strcmp(name, "integer") == 0) return SCALE_INTEGER;
  return SCALE_STRETCH;
}

PictureRect ScaledPictureRect(ScaleMode mode, int32_t areaW, int32_t areaH) {
  if (areaW <= 0 || areaH <= 0) return PictureRect{0, 0, 0, 0};
  switch (mode) {
    case SCALE_ASPECT:
      return AspectRect(areaW, areaH);
    case SCALE_INTEGER: {
      const int32_t s = std::min(areaW / PICTURE_WIDTH, areaH / PICTURE_HEIGHT);
      if (s < 1) return AspectRect(areaW, areaH);
      return Centred(areaW, areaH, PICTURE_WIDTH * s, PICTURE_HEIGHT * s);
    }
    case SCALE_STRETCH:
      break;
  }
  return PictureRect{0, 0, areaW, areaH};
}

int32_t WholePictureScale(ScaleMode mode, int32_t areaW, int32_t areaH) {
  const PictureRect r = ScaledPictureRect(mode, areaW, areaH);
  return std::max(1, std::min(r.w / PICTURE_WIDTH, r.h / PICTURE_HEIGHT));
}
