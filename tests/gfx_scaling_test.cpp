// Scaling modes: the picture's rectangle for several window and screen sizes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/scaling.h"

namespace {

struct RectCase {
  ScaleMode mode;
  int32_t areaW, areaH;
  PictureRect want;
};

class ScaledRect : public testing::TestWithParam<RectCase> {};

TEST_P(ScaledRect, FitsTheArea) {
  const RectCase c = GetParam();
  const PictureRect r = ScaledPictureRect(c.mode, c.areaW, c.areaH);
  EXPECT_EQ(r.x, c.want.x);
  EXPECT_EQ(r.y, c.want.y);
  EXPECT_EQ(r.w, c.want.w);
  EXPECT_EQ(r.h, c.want.h);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ScaledRect,
    testing::Values(
        // Stretch fills whatever the area is, as the window always did.
        RectCase{SCALE_STRETCH, 640, 480, {0, 0, 640, 480}},
        // Aspect: bars at the sides of a wide area, above and below a tall one.
        RectCase{SCALE_ASPECT, 1920, 1080, {240, 0, 1440, 1080}},
        RectCase{SCALE_ASPECT, 800, 1000, {0, 200, 800, 600}},
        // 641 * 3/4 = 480.75 rounds to 481; 200 * 4/3 = 266.7 rounds to 267.
        RectCase{SCALE_ASPECT, 641, 600, {0, 59, 641, 481}},
        RectCase{SCALE_ASPECT, 300, 200, {16, 0, 267, 200}},
        // Integer: the largest whole scale, centred; one pixel short of 3x stays at 2x.
        RectCase{SCALE_INTEGER, 959, 719, {159, 119, 640, 480}},
        RectCase{SCALE_INTEGER, 960, 720, {0, 0, 960, 720}},
        RectCase{SCALE_INTEGER, 1920, 1080, {320, 60, 1280, 960}},
        // Smaller than the picture: shrunk to the aspect rectangle rather than cut off.
        RectCase{SCALE_INTEGER, 300, 200, {16, 0, 267, 200}},
        // A minimised window has no area at all.
        RectCase{SCALE_STRETCH, 0, 480, {0, 0, 0, 0}}, RectCase{SCALE_ASPECT, 640, 0, {0, 0, 0, 0}},
        RectCase{SCALE_INTEGER, -5, -5, {0, 0, 0, 0}}));

TEST(ScaledRect, StaysInsideAndCentredForEverySize) {
  for (ScaleMode mode : {SCALE_STRETCH, SCALE_ASPECT, SCALE_INTEGER}) {
    for (int32_t w = 1; w <= 2000; w += 37) {
      for (int32_t h = 1; h <= 1500; h += 41) {
        const PictureRect r = ScaledPictureRect(mode, w, h);
        SCOPED_TRACE(testing::Message() << mode << " " << w << "x" << h);
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= w && r.y + r.h <= h);
        ASSERT_LE(std::abs((w - r.x - r.w) - r.x), 1);
        ASSERT_LE(std::abs((h - r.y - r.h) - r.y), 1);
        if (mode == SCALE_STRETCH) continue;
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
