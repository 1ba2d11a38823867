// The message loop: "/S" pacing, no frames while inactive, and a steady 60 frames per second
// whatever the display's refresh.

#include "app_shell_fixture.h"

namespace {

constexpr uint64_t SECOND = 1'000'000;

class Loop : public ShellTest {
 protected:
  // Services up and a scene number without operations: every frame is fill, input, present.
  void StartPlainFrames() {
    SystemFrame();
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << "failed services " << ErrorFlags;
    SceneId = 2;
  }
  static int32_t Frames() { return FakeDisplayPresentCount(); }
};

TEST_F(Loop, HoldsSixtyFramesASecondOnAFasterRefresh) {
  FakeSetRefreshHz(144);
  StartPlainFrames();
  AppActive = 1;
  RunLoop(10 * SECOND);
  EXPECT_NEAR(Frames(), 600, 1);
  EXPECT_GE(FakeWaitCount(), Frames() - 2);  // each frame waited for its deadline
}

// Without a frame limit the millisecond clock paces the frames: "/S" runs every 41st change.
TEST_F(Loop, SlowSwitchRunsAFrameOnEveryFortyFirstClockChange) {
  ParseCommandLine("/s");
  StartPlainFrames();
  AppActive = 1;
  FrameRateLimit = 0;
  RunLoop(SECOND, 1000);  // the clock changes on every look
  ASSERT_GT(ClockChanges, 100u);
  EXPECT_EQ(static_cast<uint32_t>(Frames()), (ClockChanges - 1) / 41 + 1);
}

TEST_F(Loop, NoFramesWhileInactive) {
  StartPlainFrames();
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 1, 0}, 1 * SECOND);
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 0, 0}, 2 * SECOND);
  RunLoop(3 * SECOND);
  EXPECT_NEAR(Frames(), 60, 1);
  EXPECT_NEAR(ClockChanges, 60u, 1u);  // changes are counted only while active
}

TEST_F(Loop, ClosingEndsTheLoopBeforeAnotherFrame) {
  ParseCommandLine("/F");  // full screen closes without asking
  StartPlainFrames();
  AppActive = 1;
  FakeSetClockStepPerRead(40);  // looking at the clock takes time, as real work does
  MainWindow = 1;
  FakeQueueEvent(PlatformEvent{PEV_CLOSE, 0, 0}, SECOND / 2);
  EXPECT_EQ(MessageLoop(), 0);
  EXPECT_EQ(SystemState, SYSTEM_SHUTDOWN);  // requested; the releasing frame never ran
  EXPECT_NEAR(Frames(), 30, 1);
  EXPECT_TRUE(FakeMessageBoxes().empty());
}

// Deadlines advance by a fixed 1/60 s: a late frame does not shift the next ones, and a stall
// longer than a frame starts a new cadence instead of a burst of catch-up frames.
TEST_F(Loop, PacerKeepsItsCadenceAndRestartsAfterAStall) {
  // (clock when the frame is due, clock when PaceFrame returns)
  for (auto [now, resumeAt] : {
           std::pair<uint64_t, uint64_t>{1000, 1000},  // first frame: the cadence starts here
           {2000, 17666},                              // early: waits for start + 1/60 s
           {40000, 40000},                             // late for 1000 + 2/60 s: runs at once...
           {40500, 51000},    // ...and the next deadline is still start + 3/60 s
           {300000, 300000},  // a stall: no catching up
           {300100, 316666},  // new cadence from 300,000
       }) {
    FakeSetMicros(now);
    PaceFrame();
    EXPECT_EQ(FakeMicros(), resumeAt) << "frame due at " << now;
  }
}

}  // namespace
