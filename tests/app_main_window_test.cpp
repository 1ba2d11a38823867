// The main window: creation and its failures, placement off a small desktop, the close
// question, Escape, paints and display changes.
#include <string>
#include <tuple>

#include "app_shell_fixture.h"
#include "gfx/surface.h"

namespace {

class Window : public ShellTest {
 protected:
  static void Send(PlatformEventType type, int32_t a = 0) {
    MainWindowProc(PlatformEvent{type, a, 0});
  }
};

TEST_F(Window, ClientAreaIsCentredEvenOffASmallDesktopAndKeepsItsMinimum) {
  FakeSetDesktop(321, 201);
  ASSERT_EQ(CreateMainWindow(), 1);
  const FakeWindowState& w = FakeWindow();
  EXPECT_EQ(std::tuple(w.x, w.y, w.clientWidth, w.clientHeight, w.minClientWidth, w.minClientHeight,
                       MainWindow, ClientX, ClientY),
            std::tuple(-159, -139, 640, 480, 320, 240, 1, -159, -139));
}

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

}  // namespace
