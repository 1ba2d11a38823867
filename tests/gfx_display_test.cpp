// Display start-up with its codes and messages, presentation in a window and on the full
// screen, recovery of a lost presentation, and release.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "gfx/display.h"
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

}  // namespace
