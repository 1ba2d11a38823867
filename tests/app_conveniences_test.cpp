// Alt+Return switching the full screen, and F12 screenshots: their names and failures.
#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app_shell_fixture.h"
#include "gfx/surface.h"
#include "input/pad.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class Conveniences : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    // A folder per test: ctest runs the tests of this file side by side.
    folder = fs::path("app_conveniences_shots") /
             testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    settings = PlatformSettings{};
    settings.screenshotDir = folderText.assign(folder.string()).c_str();
    FakeSetConfiguration(settings);
  }
  void TearDown() override {
    ShellTest::TearDown();
    fs::remove_all(folder);
    std::error_code notEmpty;  // another test still has its folder there
    fs::remove(folder.parent_path(), notEmpty);
    FakeSetConfiguration(PlatformSettings{});
  }
  static void Key(PlatformEventType type, int32_t key, int32_t repeat = 0) {
    MainWindowProc(PlatformEvent{type, key, repeat});
  }
  static void ShowPicture() {
    ASSERT_EQ(CreateMainWindow(), 1);
    ASSERT_EQ(gf_DD_Init(), 0);
    gf_DD_Present();
  }
  static std::time_t LocalTime(int year, int month, int day, int h, int m, int s) {
    std::tm t{};
    std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_isdst) =
        std::tuple(year - 1900, month - 1, day, h, m, s, -1);
    return std::mktime(&t);
  }
  fs::path folder;
  std::string folderText;
  PlatformSettings settings;
};

// The Return of an Alt+Return never repeats the switch; focus coming back keeps the pointer of
// the mode now shown.
TEST_F(Conveniences, AltReturnSwitchesBothWaysOncePerPress) {
  ParseCommandLine("/F");
  ASSERT_EQ(CreateMainWindow(), 1);
  MainWindowProc(PlatformEvent{PEV_ACTIVATE, 1, 0});
  Key(PEV_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(FakeWindow().fullScreen) << "Return without Alt";
  FakeSetKeyHeld(VK_MENU, true);
  Key(PEV_KEYDOWN, VK_RETURN);
  Key(PEV_KEYDOWN, VK_RETURN, 1);
  EXPECT_FALSE(FakeWindow().fullScreen);
  MainWindowProc(PlatformEvent{PEV_ACTIVATE, 1, 0});
  EXPECT_TRUE(FakeWindow().cursorShown);
  Key(PEV_KEYUP, VK_RETURN);
  Key(PEV_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(FakeWindow().fullScreen);
  EXPECT_FALSE(FakeWindow().cursorShown);
  MainWindowProc(PlatformEvent{PEV_ACTIVATE, 0, 0});  // another program gets the pointer back
  EXPECT_TRUE(FakeWindow().cursorShown);
  EXPECT_TRUE(FakeMessageBoxes().empty());
}

// F12 saves once per press and never reaches the game; names never overwrite.
TEST_F(Conveniences, ScreenshotsAreNamedForTheTimeAndNeverOverwrite) {
  ShowPicture();
  Key(PEV_KEYDOWN, VK_F12);
  Key(PEV_KEYDOWN, VK_F12, 1);  // held: repeats take no more pictures
  Key(PEV_KEYUP, VK_F12);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  FakeSetKeyHeld(VK_F12, true);
  EXPECT_EQ(PadRead(nullptr), 0u);
  const std::time_t when = LocalTime(2026, 12, 6, 18, 15, 30);
  for (const char* name :
       {"zizid-ozavav-20261206-181530.png", "zizid-ozavav-20261206-181530-2.png"}) {
    FakeClearDebugLines();
    ASSERT_EQ(TakeScreenshot(when), 1);
    const fs::path file = fs::absolute(folder / name).lexically_normal();
    EXPECT_TRUE(fs::exists(file)) << name;
    EXPECT_EQ(FakeDebugLines(),
              std::vector<std::string>{"Screenshot saved to " + file.string() + "\n"});
  }
}

TEST_F(Conveniences, AFailedScreenshotSaysWhy) {
  ShowPicture();
  FakeClearDebugLines();
  settings.screenshotDir = "app_conveniences_no_such_folder/deeper";
  FakeSetConfiguration(settings);
  EXPECT_EQ(TakeScreenshot(std::time(nullptr)), 0);
  ASSERT_EQ(FakeDebugLines().size(), 1u);
  EXPECT_NE(FakeDebugLines()[0].find("app_conveniences_no_such_folder/deeper"), std::string::npos);
  EXPECT_FALSE(fs::exists("app_conveniences_no_such_folder"));
}

}  // namespace
