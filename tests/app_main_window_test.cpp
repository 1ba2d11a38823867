// The main window: creation and its failures, centred placement, the close question, Escape,
// activation, moves and sizes.
#include <string>
#include <tuple>

#include "app_shell_fixture.h"
#include "gfx/surface.h"

namespace {

constexpr const char* CLOSE_QUESTION = "終了します。\nよろしいですか？";

class Window : public ShellTest {
 protected:
  static void Send(PlatformEventType type, int32_t a = 0, int32_t b = 0) {
    MainWindowProc(PlatformEvent{type, a, b});
  }
};

struct PlaceCase {
  int32_t desktopW, desktopH, x, y;
};

class WindowPlacement : public Window, public testing::WithParamInterface<PlaceCase> {};

TEST_P(WindowPlacement, ClientAreaIsCentredEvenOffTheScreen) {
  const PlaceCase& c = GetParam();
  FakeSetDesktop(c.desktopW, c.desktopH);
  ASSERT_EQ(CreateMainWindow(), 1);
  const FakeWindowState& w = FakeWindow();
  EXPECT_TRUE(w.exists && w.shown && FakeMessageBoxes().empty());
  EXPECT_EQ(w.title, "ZIZID-OZAVAV");
  EXPECT_EQ(
      std::tuple(w.x, w.y, w.clientWidth, w.clientHeight, w.minClientWidth, w.minClientHeight),
      std::tuple(c.x, c.y, 640, 480, 320, 240));
  EXPECT_EQ(std::tuple(MainWindow, DesktopWidth, ClientX, ClientY, ClientWidth, ClientHeight),
            std::tuple(1, c.desktopW, c.x, c.y, 640, 480));
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowPlacement,
                         testing::Values(PlaceCase{800, 600, 80, 60},
                                         PlaceCase{1920, 1080, 640, 300}, PlaceCase{640, 480, 0, 0},
                                         PlaceCase{600, 400, -20, -40},
                                         PlaceCase{321, 201, -159, -139}));

TEST_F(Window, CarriesTheBuiltInIcon) {
  ASSERT_EQ(CreateMainWindow(), 1);
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (!PlatformFindResource("ICN_01", "ICON", &data, &size)) GTEST_SKIP() << "no icon built";
  EXPECT_TRUE(FakeWindow().hasIcon);
}

struct RefusalCase {
  bool failCreate, palette, fullScreen;
  const char* text;  // null: the window is made
};

constexpr const char* INIT_FAILED = "初期化に失敗しました。\n\n取り扱い説明書を参照して下さい。";

class WindowRefusal : public Window, public testing::WithParamInterface<RefusalCase> {};

TEST_P(WindowRefusal, ShowsItsMessageAndGivesUp) {
  const RefusalCase& c = GetParam();
  FakeFailWindowCreation(c.failCreate);
  FakeSetDesktop(1024, 768, c.palette);
  ParseCommandLine(c.fullScreen ? "/F" : "");
  const int32_t made = CreateMainWindow();
  if (c.text == nullptr) {
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(FakeMessageBoxes().empty());
    return;
  }
  EXPECT_EQ(std::tuple(made, MainWindow, FakeWindow().exists), std::tuple(0, 0, false));
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  const FakeMessageBoxRecord& box = FakeMessageBoxes()[0];
  EXPECT_EQ(std::tuple(box.text, box.caption, box.icon, box.buttons),
            std::tuple(std::string(c.text), std::string("ZIZID-OZAVAV"), PMB_ICONSTOP, PMB_OK));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowRefusal,
    testing::Values(RefusalCase{true, true, false, INIT_FAILED},
                    RefusalCase{true, true, true, INIT_FAILED},
                    RefusalCase{
                        false, false, false,
                        "256色ﾓｰﾄﾞに設定してください。\n\n取り扱い説明書を参照して下さい。"},
                    RefusalCase{false, false, true, nullptr},  // full screen skips the colour check
                    RefusalCase{false, true, false, nullptr}));

struct CloseCase {
  const char* name;
  const char* switches;
  std::vector<PlatformEvent> events;
  int32_t answer;
  bool asked, closed;
};

class WindowClose : public Window, public testing::WithParamInterface<CloseCase> {};

TEST_P(WindowClose, AsksInAWindowAndClosesAtOnceInFullScreen) {
  const CloseCase& c = GetParam();
  ParseCommandLine(c.switches);
  ASSERT_EQ(CreateMainWindow(), 1);
  SystemState = SYSTEM_RUNNING;
  FakeQueueMessageBoxAnswer(c.answer);
  for (const PlatformEvent& e : c.events) MainWindowProc(e);
  ASSERT_EQ(FakeMessageBoxes().size(), c.asked ? 1u : 0u);
  if (c.asked) {
    const FakeMessageBoxRecord& box = FakeMessageBoxes()[0];
    EXPECT_EQ(std::tuple(box.text, box.caption, box.buttons, box.icon),
              std::tuple(std::string(CLOSE_QUESTION), std::string("ZIZID-OZAVAV"), PMB_YESNO,
                         PMB_ICONQUESTION));
  }
  EXPECT_EQ(std::tuple(FakeWindow().exists, MainWindow, SystemState, QuitPending()),
            std::tuple(!c.closed, c.closed ? 0 : 1, c.closed ? SYSTEM_SHUTDOWN : SYSTEM_RUNNING,
                       c.closed));
}

const PlatformEvent CLOSE{PEV_CLOSE, 0, 0};
const PlatformEvent ESC_DOWN{PEV_KEYDOWN, VK_ESCAPE, 0};
const PlatformEvent ESC_UP{PEV_KEYUP, VK_ESCAPE, 0};
const PlatformEvent TERMINATE{PEV_TERMINATE, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Requests, WindowClose,
    testing::Values(
        CloseCase{"closeBoxYes", "", {CLOSE}, PMB_ANSWER_YES, true, true},
        CloseCase{"closeBoxNo", "", {CLOSE}, PMB_ANSWER_NO, true, false},
        CloseCase{"escapeReleaseYes", "", {ESC_DOWN, ESC_UP}, PMB_ANSWER_YES, true, true},
        CloseCase{"escapeReleaseNo", "", {ESC_DOWN, ESC_UP}, PMB_ANSWER_NO, true, false},
        CloseCase{"escapePressOnly", "", {ESC_DOWN}, PMB_ANSWER_YES, false, false},
        CloseCase{"otherKeyRelease", "", {{PEV_KEYUP, 'Z', 0}}, PMB_ANSWER_YES, false, false},
        CloseCase{"fullScreenEscape", "/F", {ESC_UP}, PMB_ANSWER_NO, false, true},
        CloseCase{"fullScreenCloseBox", "/F", {CLOSE}, PMB_ANSWER_NO, false, true},
        CloseCase{"terminate", "", {TERMINATE}, PMB_ANSWER_NO, false, true},
        CloseCase{"secondCloseAfterClosing", "", {CLOSE, CLOSE}, PMB_ANSWER_YES, true, true}),
    [](const testing::TestParamInfo<CloseCase>& info) { return info.param.name; });

TEST_F(Window, ActivationGatesFramesAndHidesThePointerOnlyInFullScreen) {
  for (const char* switches : {"", "/F"}) {
    ParseCommandLine(switches);
    Send(PEV_ACTIVATE, 1);
    EXPECT_EQ(AppActive, 1);
    EXPECT_EQ(FakeWindow().cursorShown, FullScreen == 0);
    Send(PEV_ACTIVATE, 0);
    EXPECT_EQ(AppActive, 0);
    EXPECT_TRUE(FakeWindow().cursorShown);
  }
}

TEST_F(Window, MovesAndSizesFollowTheClientArea) {
  ASSERT_EQ(CreateMainWindow(), 1);
  Send(PEV_MOVE, -5, 7);
  Send(PEV_SIZE, 960, 720);
  EXPECT_EQ(std::tuple(ClientX, ClientY, ClientWidth, ClientHeight), std::tuple(-5, 7, 960, 720));
}

TEST_F(Window, PaintShowsThePictureOnlyInAWindowWithADisplay) {
  Send(PEV_PAINT);  // no display yet: nothing to show
  EXPECT_EQ(FakeDisplayPresentCount(), 0);
  SystemFrame();
  ASSERT_EQ(DisplayReady, 1);
  Send(PEV_PAINT);
  EXPECT_EQ(FakeDisplayPresentCount(), 1);
  FullScreen = 1;
  Send(PEV_PAINT);
  EXPECT_EQ(FakeDisplayPresentCount(), 1);
}

TEST_F(Window, LostDisplayIsRestoredAndSettingChangesRepaintBlack) {
  Send(PEV_DISPLAY_LOST);
  EXPECT_EQ(FakeDisplayRestoreCount(), 0);
  SystemFrame();
  Send(PEV_DISPLAY_LOST);
  EXPECT_EQ(FakeDisplayRestoreCount(), 1);
  gf_DD_ScrFill(ScreenSurface, 9);
  Send(PEV_SETTING_CHANGE);
  EXPECT_EQ(FakeDisplayPresentCount(), 1);
  for (uint8_t p : FakeDisplayLastFrame().pixels) ASSERT_EQ(p, 0);
}

}  // namespace
