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
std::tuple<int32_t, int32_t, int32_t, int32_t> Dest() {
  const FakeDisplayFrame& f = FakeDisplayLastFrame();
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

TEST_F(Display, AStartWritesBothCapsLinesAndCodeZeroAndASecondStartReplacesTheFirst) {
  EXPECT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CAPS, CAPS_FX, CodeLine(0)}));
  ASSERT_NE(ScreenSurface, nullptr);
  EXPECT_EQ(std::tuple(DisplayReady, ScreenSurface->width, ScreenSurface->height, BackBuffer),
            std::tuple(1, 320, 240, nullptr));
  EXPECT_FALSE(FakeDisplayAccelerated() || FakeDisplayFullScreenMode());
  EmulationOnly = 0;
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_TRUE(FakeDisplayAccelerated());
  EXPECT_EQ(gf_DD_Present(), 1);
}

TEST_F(Display, ARefusedOpenOrModeEndsTheStartWithItsCodeAndReleaseStillWorks) {
  FakeDisplayFailOpen(true);
  EXPECT_EQ(gf_DD_Startup(), 0);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CodeLine(31)}));
  EXPECT_EQ(std::tuple(DisplayReady, DisplayObject, ScreenSurface),
            std::tuple(0, nullptr, nullptr));
  EXPECT_EQ(gf_DD_Release(1), 1);

  FakeDisplayReset();
  FakeClearDebugLines();
  FullScreen = 1;
  FakeDisplayFailSetMode(true);
  EXPECT_EQ(gf_DD_Startup(), 0);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{CAPS, CAPS_FX, CodeLine(33)}));
  EXPECT_EQ(PrimarySurface, nullptr);
  EXPECT_EQ(gf_DD_Release(1), 1);
  EXPECT_EQ(DisplayObject, nullptr);
  EXPECT_FALSE(FakeDisplayIsOpen());
}

TEST_F(Display, PresentWithoutAStartedDisplayShowsNothing) {
  EXPECT_EQ(gf_DD_Present(), 0);
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_EQ(gf_DD_Release(0), 1);  // keeps the display object
  EXPECT_NE(DisplayObject, nullptr);
  EXPECT_EQ(gf_DD_Present(), 0);
  gf_DD_Release(1);
  EXPECT_EQ(gf_DD_Present(), 0);
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
  EXPECT_EQ(std::tuple(ScreenSurface, PrimarySurface, DisplayReady),
            std::tuple(nullptr, nullptr, 0));
}

TEST_F(Display, AWindowShowsTheScreenStretchedToTheClientAreaAsItIsNow) {
  ASSERT_EQ(gf_DD_Startup(), 1);
  gf_DD_BoxFill(ScreenSurface, Box{10, 20, 3, 2}, 200);
  EXPECT_EQ(gf_DD_Present(), 1);
  const FakeDisplayFrame& f = FakeDisplayLastFrame();
  EXPECT_EQ(std::tuple(f.width, f.height), std::tuple(320, 240));
  EXPECT_EQ(std::tuple(f.pixels[20 * 320 + 10], f.pixels[21 * 320 + 12], f.pixels[22 * 320 + 12]),
            std::tuple(200, 200, 0));
  EXPECT_EQ(Dest(), std::tuple(100, 50, 640, 480));
  EXPECT_EQ(std::tuple(f.palette[200][0], f.palette[200][2]),
            std::tuple(GamePalette[200].r, GamePalette[200].b));
  ClientWidth = 960;
  ClientHeight = 720;
  gf_DD_Present();
  EXPECT_EQ(Dest(), std::tuple(100, 50, 960, 720));
}

TEST_F(Display, FullScreenShowsEachNewPictureUnscaled) {
  FullScreen = 1;
  ASSERT_EQ(gf_DD_Startup(), 1);
  EXPECT_TRUE(FakeDisplayFullScreenMode());
  for (int32_t frame = 1; frame <= 2; ++frame) {  // the back buffer must not show a stale frame
    gf_DD_ScrFill(ScreenSurface, 0);
    gf_DD_PDraw(ScreenSurface, frame, 0, 50 + frame);
    EXPECT_EQ(gf_DD_Present(), 1);
    const std::vector<uint8_t>& p = FakeDisplayLastFrame().pixels;
    EXPECT_EQ(std::tuple(p[size_t(frame) - 1], p[size_t(frame)]), std::tuple(0, 50 + frame));
    EXPECT_EQ(Dest(), std::tuple(0, 0, 320, 240));
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

TEST_F(Display, ReleaseWithTheFlagAlsoFreesTheSheetAndClosesTheDisplay) {
  ASSERT_TRUE(StartTestDisplay());
  ASSERT_NE(SheetSurface, nullptr);
  EXPECT_EQ(gf_DD_Release(1), 1);
  EXPECT_EQ(std::tuple(SheetSurface, DisplayObject, ScreenClipper, DisplayPaletteObject),
            std::tuple(nullptr, nullptr, nullptr, nullptr));
  EXPECT_FALSE(FakeDisplayIsOpen());
  FakeRemoveResource("BMP_00", "BITMAP");
}

}  // namespace
