// Display start-up with its codes and messages, presentation in a window and on the full
// screen, recovery of a lost presentation, and release.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"
#include "support/test_sheet.h"

namespace {

// Where the last frame was shown: x, y, width, height.
std::tuple<int32_t, int32_t, int32_t, int32_t> Dest(const FakeDisplayFrame& f) {
  return {f.destX, f.destY, f.destW, f.destH};
}

const char* const CAPS = "DirectDraw Caps:OK!\n";
const char* const CAPS_FX = "DirectDraw Caps FX:OK!\n";

std::string CodeLine(int32_t code) {
  return "DirectDraw Init ErrorCode [" + std::to_string(code) + "]\n";
}

class Display : public testing::Test {
 protected:
  void SetUp() override {
    FakeDisplayReset();
    FakeClearDebugLines();
    FullScreen = 0;
    EmulationOnly = 1;
    SystemMemorySurfaces = 1;
    ClientX = 100;
    ClientY = 50;
    ClientWidth = 640;
    ClientHeight = 480;
  }
  void TearDown() override {
    gf_DD_Release(1);
    FakeDisplayReset();
    FullScreen = 0;
    EmulationOnly = 1;
  }
};

TEST_F(Display, ASuccessfulStartWritesBothCapsLinesAndCodeZero) {
  EXPECT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CAPS, CAPS_FX, CodeLine(0)}));
  EXPECT_EQ(DisplayReady, 1);
  ASSERT_NE(ScreenSurface, nullptr);
  EXPECT_EQ(std::tuple(ScreenSurface->width, ScreenSurface->height), std::tuple(320, 240));
  ASSERT_NE(ScreenSurface->clipper, nullptr);
  EXPECT_EQ(ScreenSurface->clipper->rect.w, 320);
  EXPECT_EQ(ScreenSurface->colorKey, 0u);
  EXPECT_NE(PrimarySurface, nullptr);
  EXPECT_EQ(BackBuffer, nullptr);
  EXPECT_TRUE(FakeDisplayIsOpen());
  EXPECT_FALSE(FakeDisplayAccelerated());
  EXPECT_FALSE(FakeDisplayFullScreenMode());
}

TEST_F(Display, WithoutEmulationOnlyTheAcceleratedRendererIsAskedFor) {
  EmulationOnly = 0;
  EXPECT_EQ(gf_DD_Startup(), 1);
  EXPECT_TRUE(FakeDisplayAccelerated());
}

TEST_F(Display, ARefusedOpenEndsTheStartWithCode31) {
  FakeDisplayFailOpen(true);
  EXPECT_EQ(gf_DD_Startup(), 0);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CodeLine(31)}));
  EXPECT_EQ(DisplayReady, 0);
  EXPECT_EQ(DisplayObject, nullptr);
  EXPECT_EQ(ScreenSurface, nullptr);
  EXPECT_EQ(gf_DD_Release(1), 1);
}

TEST_F(Display, ARefusedFullScreenModeEndsTheStartWithCode33AndReleaseClosesTheDisplay) {
  FullScreen = 1;
  FakeDisplayFailSetMode(true);
  EXPECT_EQ(gf_DD_Startup(), 0);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CAPS, CAPS_FX, CodeLine(33)}));
  EXPECT_NE(DisplayObject, nullptr);
  EXPECT_EQ(PrimarySurface, nullptr);
  EXPECT_EQ(gf_DD_Release(1), 1);
  EXPECT_EQ(DisplayObject, nullptr);
  EXPECT_FALSE(FakeDisplayIsOpen());
}

TEST_F(Display, PresentBeforeStartAndAfterReleaseShowsNothing) {
  EXPECT_EQ(gf_DD_Present(), 0);
  ASSERT_EQ(gf_DD_Startup(), 1);
  gf_DD_Release(1);
  EXPECT_EQ(gf_DD_Present(), 0);
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
  EXPECT_EQ(ScreenSurface, nullptr);
  EXPECT_EQ(PrimarySurface, nullptr);
  EXPECT_EQ(DisplayReady, 0);
}

TEST_F(Display, WindowedPresentationShowsTheScreenStretchedToTheClientArea) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  gf_DD_BoxFill(ScreenSurface, Box{10, 20, 3, 2}, 200);
  EXPECT_EQ(gf_DD_Present(), 1);
  const FakeDisplayFrame& f = FakeDisplayLastFrame();
  EXPECT_EQ(std::tuple(f.width, f.height), std::tuple(320, 240));
  EXPECT_EQ(std::tuple(f.pixels[20 * 320 + 10], f.pixels[21 * 320 + 12], f.pixels[22 * 320 + 12]),
            std::tuple(200, 200, 0));
  EXPECT_EQ(Dest(f), std::tuple(100, 50, 640, 480));
  // The palette shown is GamePalette with its cube.
  EXPECT_EQ(std::tuple(f.palette[24][1], f.palette[24][2], f.palette[255][0]),
            std::tuple(109, 170, 255));
  // After a resize the picture follows the client area: each pixel a 3x3 block.
  ClientWidth = 960;
  ClientHeight = 720;
  gf_DD_Present();
  EXPECT_EQ(Dest(FakeDisplayLastFrame()), std::tuple(100, 50, 960, 720));
  EXPECT_EQ(FakeDisplayPresentCount(), 2);
}

TEST_F(Display, FullScreenSwitchesTheModeAndShowsThePictureUnscaled) {
  FullScreen = 1;
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_TRUE(FakeDisplayFullScreenMode());
  ASSERT_NE(BackBuffer, nullptr);
  for (int32_t frame = 1; frame <= 3; ++frame) {
    gf_DD_ScrFill(ScreenSurface, 0);
    gf_DD_PDraw(ScreenSurface, frame, 0, 50 + frame);
    EXPECT_EQ(gf_DD_Present(), 1);
    const FakeDisplayFrame& f = FakeDisplayLastFrame();
    EXPECT_EQ(f.pixels[static_cast<size_t>(frame)], 50 + frame);
    EXPECT_EQ(f.pixels[static_cast<size_t>(frame) - 1], 0);
    EXPECT_EQ(Dest(f), std::tuple(0, 0, 320, 240));
  }
}

TEST_F(Display, ALostPresentationIsRestoredAndAFailedRestoreIsTriedAgainNextFrame) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  FakeDisplayLose();
  EXPECT_EQ(gf_DD_Present(), 1);
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
  EXPECT_EQ(FakeDisplayRestoreCount(), 1);
  EXPECT_EQ(gf_DD_Present(), 1);
  EXPECT_EQ(FakeDisplayPresentCount(), 1);
  FakeDisplayLose();
  FakeDisplayFailRestore(true);
  EXPECT_EQ(gf_DD_Restore(), 0);
  gf_DD_Present();
  EXPECT_EQ(FakeDisplayRestoreCount(), 3);
  FakeDisplayFailRestore(false);
  gf_DD_Present();
  gf_DD_Present();
  EXPECT_EQ(FakeDisplayRestoreCount(), 4);
  EXPECT_EQ(FakeDisplayPresentCount(), 2);
  EXPECT_EQ(gf_DD_Restore(), 1);
}

TEST_F(Display, ReleaseWithTheFlagAlsoFreesTheSheet) {
  ASSERT_TRUE(StartTestDisplay());
  ASSERT_NE(SheetSurface, nullptr);
  EXPECT_EQ(gf_DD_Release(1), 1);
  EXPECT_EQ(SheetSurface, nullptr);
  EXPECT_EQ(DisplayObject, nullptr);
  EXPECT_EQ(ScreenClipper, nullptr);
  EXPECT_EQ(DisplayPaletteObject, nullptr);
  EXPECT_FALSE(FakeDisplayIsOpen());
  FakeRemoveResource("BMP_00", "BITMAP");
}

TEST_F(Display, ReleaseWithoutTheFlagKeepsTheDisplayObject) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(gf_DD_Release(0), 1);
  EXPECT_NE(DisplayObject, nullptr);
  EXPECT_EQ(ScreenSurface, nullptr);
  EXPECT_TRUE(FakeDisplayIsOpen());
  EXPECT_EQ(gf_DD_Present(), 0);
}

TEST_F(Display, ASecondStartReplacesTheFirst) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(gf_DD_Present(), 1);
}

TEST_F(Display, CheckCapsNeedsTheDisplayObject) {
  EXPECT_EQ(gf_DD_CheckCaps(), 0);
  EXPECT_TRUE(FakeDebugLines().empty());
}

}  // namespace
