// Where the 320x240 picture goes inside the area that shows it, for each scaling mode.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// The game's picture, whatever area shows it.
constexpr int32_t PICTURE_WIDTH = 320;
constexpr int32_t PICTURE_HEIGHT = 240;

// "stretch", "aspect" or "integer"; anything else (or null) is stretch.
ScaleMode ParseScaleMode(const char* name);

struct PictureRect {
  int32_t x, y, w, h;  // relative to the area's top-left corner
};
// The rectangle the picture is drawn into within an area of areaW x areaH pixels. An area too
// small for a whole-number enlargement gets the aspect rectangle; an empty area an empty one.
PictureRect ScaledPictureRect(ScaleMode mode, int32_t areaW, int32_t areaH);

// The whole number each game pixel is enlarged by, at least 1, when the area shows the picture
// in this mode: the scale a screenshot is saved at.
int32_t WholePictureScale(ScaleMode mode, int32_t areaW, int32_t areaH);
