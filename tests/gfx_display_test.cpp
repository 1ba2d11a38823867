// Display start-up with its codes and messages, presentation in a window and on the full
// screen, recovery of a lost presentation, release, and the scaled picture's rectangle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "gfx/display.h"
#include "platform/scaling.h"
#include "platform/fake/fake_platform.h"

namespace {

// Where the last frame was shown: x, y, width, height.
std::tuple<int32_t, int32_t, int32_t, int32_t> Dest() {
  const FakeDisplayFrame& f = FakeDisplayLastFrame();
  return {f.destX, f.destY, f.destW, f.destH};
}

std::string CodeLine(int32_t code) {
  return "DirectDraw Init ErrorCode [" + std::to_string(code) + "]\n";
}

class Display : public testing::Test {
 protected:
  void SetUp() override {
    FakeDisplayReset();
    FakeClearDebugLines();
    std::tie(FullScreen, EmulationOnly, SystemMemorySurfaces) = std::tuple(0, 1, 1);
    std::tie(ClientX, ClientY, ClientWidth, ClientHeight) = std::tuple(100, 50, 640, 480);
  }
  void TearDown() override {
    gf_DD_Release(1);
    FakeDisplayReset();
    std::tie(FullScreen, EmulationOnly) = std::tuple(0, 1);
  }
};

TEST_F(Display, AStartWritesBothCapsLinesAndCodeZeroAndAReleaseEndsThePresents) {
  EXPECT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{"DirectDraw Caps:OK!\n",
                                                        "DirectDraw Caps FX:OK!\n", CodeLine(0)}));
  ASSERT_NE(ScreenSurface, nullptr);
  EXPECT_EQ(std::tuple(DisplayReady, ScreenSurface->width, ScreenSurface->height, BackBuffer),
            std::tuple(1, 320, 240, nullptr));
  EXPECT_FALSE(FakeDisplayAccelerated() || FakeDisplayFullScreenMode());
  gf_DD_Release(1);
  EXPECT_EQ(std::tuple(gf_DD_Present(), ScreenSurface), std::tuple(0, nullptr));
}

TEST_F(Display, ARefusedOpenOrModeEndsTheStartWithItsCodeAndNothingIsShown) {
  for (const int32_t code : {31, 33}) {
    FakeDisplayReset();
    FakeClearDebugLines();
    FullScreen = 1;
    FakeDisplayFailOpen(code == 31);
    FakeDisplayFailSetMode(code == 33);
    EXPECT_EQ(gf_DD_Startup(), 0);
    EXPECT_EQ(FakeDebugLines().back(), CodeLine(code));
    EXPECT_EQ(std::tuple(DisplayReady, ScreenSurface, PrimarySurface),
              std::tuple(0, nullptr, nullptr));
    EXPECT_EQ(gf_DD_Present(), 0);
    EXPECT_EQ(gf_DD_Release(1), 1);
    EXPECT_EQ(DisplayObject, nullptr);
    EXPECT_FALSE(FakeDisplayIsOpen());
  }
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
}

// A window shows the screen stretched to its client area as it is now; the full screen shows it
// unscaled, and its back buffer never a stale frame. A second start replaces the first.
TEST_F(Display, EachPresentShowsTheNewPictureWhereTheModeWantsIt) {
  for (const int32_t full : {0, 1}) {
    FullScreen = full;
    ASSERT_EQ(gf_DD_Startup(), 1);
    EXPECT_EQ(FakeDisplayFullScreenMode(), full == 1);
    for (int32_t frame = 1; frame <= 2; ++frame) {
      std::tie(ClientWidth, ClientHeight) = std::tuple(320 * (frame + 1), 240 * (frame + 1));
      gf_DD_ScrFill(ScreenSurface, 0);
      gf_DD_PDraw(ScreenSurface, frame, 0, 50 + frame);
      EXPECT_EQ(gf_DD_Present(), 1);
      const std::vector<uint8_t>& p = FakeDisplayLastFrame().pixels;
      EXPECT_EQ(std::tuple(p[size_t(frame) - 1], p[size_t(frame)]), std::tuple(0, 50 + frame));
      EXPECT_EQ(Dest(), full == 1 ? std::tuple(0, 0, 320, 240)
                                  : std::tuple(100, 50, ClientWidth, ClientHeight));
    }
  }
}

TEST_F(Display, ALostPresentationIsRestoredAndAFailedRestoreIsTriedAgainNextFrame) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  FakeDisplayLose();
  FakeDisplayFailRestore(true);
  EXPECT_EQ(gf_DD_Present(), 1);
  EXPECT_EQ(gf_DD_Present(), 1);
  EXPECT_EQ(FakeDisplayRestoreCount(), 2);
  FakeDisplayFailRestore(false);
  gf_DD_Present();
  gf_DD_Present();
  EXPECT_EQ(std::tuple(FakeDisplayRestoreCount(), FakeDisplayPresentCount()), std::tuple(3, 1));
}

TEST(ScaledRect, StaysInsideAndCentredForEverySizeAndIsEmptyForNoArea) {
  for (ScaleMode mode : {SCALE_STRETCH, SCALE_ASPECT, SCALE_INTEGER}) {
    for (int32_t w = 0; w <= 2000; w += 37) {
      for (int32_t h = 0; h <= 1500; h += 41) {
        const PictureRect r = ScaledPictureRect(mode, w, h);
        SCOPED_TRACE(testing::Message() << mode << " " << w << "x" << h);
        if (w == 0 || h == 0) {  // a minimised window
          ASSERT_TRUE(r.x == 0 && r.y == 0 && r.w == 0 && r.h == 0);
          continue;
        }
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= w && r.y + r.h <= h);
        ASSERT_LE(std::abs((w - r.x - r.w) - r.x), 1);
        ASSERT_LE(std::abs((h - r.y - r.h) - r.y), 1);
        if (mode == SCALE_STRETCH) {
          ASSERT_TRUE(r.w == w && r.h == h);
          continue;
        }
        // Four to three within the rounding of one side; aspect touches the area on one side.
        ASSERT_LE(std::abs(r.w * 3 - r.h * 4), 4);
        ASSERT_TRUE(mode != SCALE_ASPECT || r.w == w || r.h == h);
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
