// Scaling modes: the picture's rectangle for several window and screen sizes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "gfx/scaling.h"

namespace {

TEST(ScaledRect, RoundsToTheNearestPixelAndGivesNoAreaToAMinimisedWindow) {
  using Rect = std::tuple<int32_t, int32_t, int32_t, int32_t>;
  const std::tuple<ScaleMode, int32_t, int32_t, Rect> cases[] = {
      // 641 * 3/4 = 480.75 rounds to 481; 200 * 4/3 = 266.7 rounds to 267.
      {SCALE_ASPECT, 641, 600, {0, 59, 641, 481}},
      // Smaller than the picture: shrunk to the aspect rectangle rather than cut off.
      {SCALE_INTEGER, 300, 200, {16, 0, 267, 200}},
      {SCALE_ASPECT, 640, 0, {0, 0, 0, 0}},
      {SCALE_INTEGER, -5, -5, {0, 0, 0, 0}},
  };
  for (const auto& [mode, w, h, want] : cases) {
    const PictureRect r = ScaledPictureRect(mode, w, h);
    EXPECT_EQ(Rect(r.x, r.y, r.w, r.h), want) << mode << " " << w << "x" << h;
  }
}

TEST(ScaledRect, StaysInsideAndCentredForEverySize) {
  for (ScaleMode mode : {SCALE_STRETCH, SCALE_ASPECT, SCALE_INTEGER}) {
    for (int32_t w = 1; w <= 2000; w += 37) {
      for (int32_t h = 1; h <= 1500; h += 41) {
        const PictureRect r = ScaledPictureRect(mode, w, h);
        SCOPED_TRACE(testing::Message() << mode << " " << w << "x" << h);
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= w && r.y + r.h <= h);
        ASSERT_LE(std::abs((w - r.x - r.w) - r.x), 1);
        ASSERT_LE(std::abs((h - r.y - r.h) - r.y), 1);
        if (mode == SCALE_STRETCH) {
          ASSERT_TRUE(r.w == w && r.h == h);
          continue;
        }
        // Four to three within the rounding of one side, and touching the area on one side.
        ASSERT_LE(std::abs(r.w * 3 - r.h * 4), 4);
        if (mode == SCALE_ASPECT) {
          ASSERT_TRUE(r.w == w || r.h == h);
        }
        if (mode == SCALE_INTEGER && w >= 320 && h >= 240) {
          ASSERT_EQ(r.w % 320, 0);
          ASSERT_EQ(r.w / 320, r.h / 240);
          ASSERT_TRUE(r.w + 320 > w || r.h + 240 > h) << "a larger whole scale fits";
        }
      }
    }
  }
}

}  // namespace
