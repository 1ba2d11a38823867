// The main window: creation and its failures, the close question, Escape, paints and display
// changes, Alt+Return and F12 screenshots.
#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app_shell_fixture.h"
#include "gfx/surface.h"
#include "input/pad.h"

namespace fs = std::filesystem;

namespace {

class Window : public ShellTest {
 protected:
  static void Send(PlatformEventType type, int32_t a = 0) {
    MainWindowProc(PlatformEvent{type, a, 0});
  }
  // A key event as the machine reports it: Alt as the keys held say.
  static void Key(PlatformEventType type, int32_t key, int32_t flags = 0) {
    MainWindowProc(PlatformEvent{type, key, flags | (PlatformKeyHeld(VK_MENU) ? PEV_KEY_ALT : 0)});
  }
};

TEST_F(Window, RefusalsShowTheirMessageAndGiveUp) {
  const std::string manual = "\n\n取り扱い説明書を参照して下さい。";
  const std::tuple<bool, bool, const char*, std::string> cases[] = {
      {true, true, "/F", "初期化に失敗しました。" + manual},
      {false, false, "", "256色ﾓｰﾄﾞに設定してください。" + manual},
      {false, false, "/F", ""}};  // the full screen needs no colour check
  for (const auto& [failCreate, palette, switches, text] : cases) {
    FakeSystemReset();
    FakeFailWindowCreation(failCreate);
    FakeSetDesktop(1024, 768, palette);
    ParseCommandLine(switches);
    const bool made = text.empty();
    EXPECT_EQ(std::tuple(CreateMainWindow(), MainWindow, FakeWindow().exists),
              std::tuple(made ? 1 : 0, made ? 1 : 0, made));
    ASSERT_EQ(FakeMessageBoxes().size(), made ? 0u : 1u);
    EXPECT_TRUE(made || FakeMessageBoxes()[0].text == text) << text;
  }
}

// A window asks before closing; the full screen and the machine's own end do not.
TEST_F(Window, CloseRequestsAskOnlyWhereTheyShould) {
  const PlatformEvent close{PEV_CLOSE, 0, 0}, escDown{PEV_KEYDOWN, VK_ESCAPE, 0},
      escUp{PEV_KEYUP, VK_ESCAPE, 0};
  struct Case {
    const char* switches;
    std::vector<PlatformEvent> events;
    size_t asked;
    bool closed;
  };
  const Case cases[] = {
      {"", {escDown, escUp}, 1, false},  // answered No
      {"", {escDown}, 0, false},         // Escape acts on release
      {"", {close, close}, 1, true},     // a second close after closing asks nothing
      {"/F", {close}, 0, true},         {"", {{PEV_TERMINATE, 0, 0}}, 0, true},
  };
  for (const Case& c : cases) {
    SetUp();
    ParseCommandLine(c.switches);
    ASSERT_EQ(CreateMainWindow(), 1);
    SystemState = SYSTEM_RUNNING;
    FakeQueueMessageBoxAnswer(c.closed ? PMB_ANSWER_YES : PMB_ANSWER_NO);
    for (const PlatformEvent& e : c.events) MainWindowProc(e);
    ASSERT_EQ(FakeMessageBoxes().size(), c.asked) << &c - cases;
    EXPECT_TRUE(c.asked == 0 || FakeMessageBoxes()[0].buttons == PMB_YESNO);
    EXPECT_EQ(std::tuple(FakeWindow().exists, MainWindow, SystemState, QuitPending()),
              std::tuple(!c.closed, c.closed ? 0 : 1, c.closed ? SYSTEM_SHUTDOWN : SYSTEM_RUNNING,
                         c.closed))
        << &c - cases;
  }
}

TEST_F(Window, PaintsAndDisplayChangesNeedAStartedDisplay) {
  Send(PEV_PAINT);
  Send(PEV_DISPLAY_LOST);
  EXPECT_EQ(std::tuple(FakeDisplayPresentCount(), FakeDisplayRestoreCount()), std::tuple(0, 0));
  SystemFrame();
  ASSERT_EQ(DisplayReady, 1);
  Send(PEV_PAINT);
  Send(PEV_DISPLAY_LOST);
  EXPECT_EQ(std::tuple(FakeDisplayPresentCount(), FakeDisplayRestoreCount()), std::tuple(1, 1));
  gf_DD_ScrFill(ScreenSurface, 9);
  Send(PEV_SETTING_CHANGE);  // repaints black
  EXPECT_EQ(FakeDisplayLastFrame().pixels, std::vector<uint8_t>(320 * 240, 0));
  FullScreen = 1;  // the full screen has no window to paint
  Send(PEV_PAINT);
  EXPECT_EQ(FakeDisplayPresentCount(), 2);
}

// The Return of an Alt+Return never repeats the switch; focus coming back keeps the pointer of
// the mode now shown.
TEST_F(Window, AltReturnSwitchesBothWaysOncePerPress) {
  ParseCommandLine("/F");
  ASSERT_EQ(CreateMainWindow(), 1);
  Send(PEV_ACTIVATE, 1);
  Key(PEV_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(FakeWindow().fullScreen) << "Return without Alt";
  FakeSetKeyHeld(VK_MENU, true);
  Key(PEV_KEYDOWN, VK_RETURN);
  Key(PEV_KEYDOWN, VK_RETURN, PEV_KEY_REPEAT);
  EXPECT_FALSE(FakeWindow().fullScreen);
  Send(PEV_ACTIVATE, 1);
  EXPECT_TRUE(FakeWindow().cursorShown);
  Key(PEV_KEYUP, VK_RETURN);
  Key(PEV_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(FakeWindow().fullScreen);
  EXPECT_FALSE(FakeWindow().cursorShown);
  Send(PEV_ACTIVATE, 0);  // another program gets the pointer back
  EXPECT_TRUE(FakeWindow().cursorShown);
  EXPECT_TRUE(FakeMessageBoxes().empty());
}

// F12 saves once per press and never reaches the game; names never overwrite; a missing folder is
// made; a failure says why.
TEST_F(Window, ScreenshotsAreNamedForTheTimeNeverOverwriteMakeTheirFolderAndSayWhyTheyFail) {
  const fs::path folder = fs::absolute("app_main_window_shots");
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string folderText = folder.string();
  PlatformSettings settings;
  settings.screenshotDir = folderText.c_str();
  FakeSetConfiguration(settings);
  ASSERT_EQ(CreateMainWindow(), 1);
  ASSERT_EQ(gf_DD_Init(), 0);
  gf_DD_Present();
  Key(PEV_KEYDOWN, VK_F12);
  Key(PEV_KEYDOWN, VK_F12, PEV_KEY_REPEAT);  // held: repeats take no more pictures
  Key(PEV_KEYUP, VK_F12);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  FakeSetKeyHeld(VK_F12, true);
  EXPECT_EQ(PadRead(nullptr), 0u);
  std::tm t{};
  std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_isdst) =
      std::tuple(126, 11, 6, 18, 15, 30, -1);
  const std::time_t when = std::mktime(&t);
  for (const char* name :
       {"zizid-ozavav-20261206-181530.png", "zizid-ozavav-20261206-181530-2.png"}) {
    FakeClearDebugLines();
    ASSERT_EQ(TakeScreenshot(when), 1);
    EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_EQ(FakeNoticeLines(),
              std::vector<std::string>{"Screenshot saved to " + (folder / name).string() + "\n"});
  }
  // A missing folder is made, parents and all; one that cannot be made is named.
  fs::remove_all(folder);
  const std::string deeper = (folder / "new" / "deeper").string();
  settings.screenshotDir = deeper.c_str();
  FakeSetConfiguration(settings);
  EXPECT_EQ(TakeScreenshot(when), 1);
  EXPECT_TRUE(fs::exists(folder / "new" / "deeper" / "zizid-ozavav-20261206-181530.png"));
  FakeClearDebugLines();
  const std::string underFile =
      (folder / "new" / "deeper" / "zizid-ozavav-20261206-181530.png" / "inside").string();
  settings.screenshotDir = underFile.c_str();
  FakeSetConfiguration(settings);
  EXPECT_EQ(TakeScreenshot(when), 0);
  ASSERT_EQ(FakeNoticeLines().size(), 1u);
  EXPECT_NE(FakeNoticeLines()[0].find(underFile), std::string::npos) << FakeNoticeLines()[0];
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "new" / "deeper"), {}), 1);
  fs::remove_all(folder);
  FakeSetConfiguration(PlatformSettings{});
}

}  // namespace
