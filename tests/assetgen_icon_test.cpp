// The desktop icons the generator draws: one RGBA picture per size of the icon theme, each the
// same globes on a clear ground with smooth rims.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/files.h"
#include "support/png_decode.h"

namespace {

class DesktopIcon : public testing::TestWithParam<uint32_t> {};

TEST_P(DesktopIcon, IsTheSamePictureOnAClearGround) {
  const uint32_t n = GetParam();
  const std::string side = std::to_string(n);
  const std::string path = "assets/icons/hicolor/" + side + "x" + side + "/apps/zizid-ozavav.png";
  DecodedPng png;
  ASSERT_EQ(DecodePng(ReadFileBytes(path), &png), "") << path;
  ASSERT_EQ(std::tuple(png.width, png.height, png.colourType), std::tuple(n, n, uint8_t{6}));
  const auto alpha = [&](uint32_t x, uint32_t y) {
    return png.scanlines[y * (4 * n + 1) + 4 * x + 4];
  };
  // Clear corners, an opaque earth, and rims that fade rather than step.
  for (const auto& [x, y] : {std::pair{0u, 0u}, {n - 1, 0u}, {0u, n - 1}, {n - 1, n - 1}})
    EXPECT_EQ(alpha(x, y), 0) << x << ',' << y;
  EXPECT_EQ(alpha(n * 15 / 32, n * 15 / 32), 255);
  uint64_t cover = 0, partial = 0, red = 0, blue = 0;
  for (uint32_t y = 0; y < n; ++y) {
    for (uint32_t x = 0; x < n; ++x) {
      const uint8_t* p = &png.scanlines[y * (4 * n + 1) + 1 + 4 * x];
      cover += p[3];
      partial += p[3] > 0 && p[3] < 255;
      red += p[0] * p[3];
      blue += p[2] * p[3];
    }
  }
  EXPECT_GT(partial, n) << "the rims are not smoothed";
  // The globes cover the same share of every size (nearly two thirds), and the earth's seas
  // keep the picture blue, so no size is cropped, blank or drawn in the wrong colours.
  EXPECT_NEAR(static_cast<double>(cover) / (255.0 * n * n), 0.64, 0.03);
  EXPECT_GT(blue, red * 3 / 2);
}

INSTANTIATE_TEST_SUITE_P(ThemeSizes, DesktopIcon,
                         testing::Values(16u, 24u, 32u, 48u, 64u, 128u, 256u));

}  // namespace
