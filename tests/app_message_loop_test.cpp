// The message loop: "/S" pacing, no frames while inactive, and a steady 60 frames per second
// whatever the display's refresh.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/trace.h"
#include "app_shell_fixture.h"
#include "input/pad.h"
#include "input/replay.h"
#include "support/files.h"

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

// Each frame sleeps once for its deadline and looks at the clock a few times: no polling.
TEST_F(Loop, HoldsSixtyFramesASecondOnAFasterRefreshWithoutPolling) {
  FakeSetRefreshHz(144);
  StartPlainFrames();
  AppActive = 1;
  RunLoop(10 * SECOND);
  EXPECT_NEAR(Frames(), 600, 1);
  EXPECT_NEAR(FakeWaitCount(), Frames(), 2);  // each frame waited for its deadline, once
  EXPECT_LE(FakeClockReads(), 3 * Frames());
  EXPECT_EQ(ClockChanges, static_cast<uint32_t>(Frames()));
}

// "/S" runs a frame on every 41st millisecond by elapsed time, however long each look at the
// clock takes (a loaded machine), and each frame stands for 41 clock changes.
TEST_F(Loop, SlowSwitchKeepsItsPaceByElapsedTime) {
  for (uint64_t lookCost : {40u, 5000u, 20000u}) {
    SetUp();
    ParseCommandLine("/s");
    StartPlainFrames();
    AppActive = 1;
    RunLoop(10 * SECOND, lookCost);
    EXPECT_NEAR(Frames(), 10000 / 41, 1) << lookCost << " us a look";
    EXPECT_EQ(ClockChanges, 41u * static_cast<uint32_t>(Frames() - 1) + 1) << lookCost;
    EXPECT_LE(FakeClockReads(), 3 * Frames()) << lookCost;
    TearDown();
  }
}

// While inactive the loop sleeps on the event queue with every sound held, and wakes for the
// event that ends it (the pause test sees the sound go on again through the same standstill).
TEST_F(Loop, InactiveWindowSleepsOnItsEventsWithTheSoundHeld) {
  StartPlainFrames();
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 1, 0}, 1 * SECOND);
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 0, 0}, 2 * SECOND);
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 1, 0}, 2 * SECOND + SECOND / 2);
  FakeQueueEvent(PlatformEvent{PEV_ACTIVATE, 0, 0}, 3 * SECOND);
  RunLoop(4 * SECOND);
  EXPECT_NEAR(Frames(), 90, 1);
  EXPECT_NEAR(ClockChanges, 90u, 1u);  // changes are counted only while active
  EXPECT_TRUE(FakeAudioPaused());      // the loop ended standing still
  // 2.5 s inactive, woken by each event or after a tenth of a second.
  EXPECT_LE(FakeEventWaits(), 30);
  EXPECT_LE(FakeClockReads(), 3 * Frames() + 10);
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

// The same recorded game played at 60 frames a second (also when every look at the clock takes
// 9 ms, as on a loaded machine) and uncapped gives the same trace, clock changes included.
class Replayed : public ShellTest {
 protected:
  // A game of `frames` frames: button 1 now and then through the menus, then steering.
  static void WriteReplay(const char* path, uint32_t switches, int32_t frames) {
    ReplayData data;
    data.switches = switches;
    for (int32_t i = 0; i < frames; ++i) {
      const uint32_t steer = (i / 90) % 2 == 0 ? INPUT_LEFT : INPUT_RIGHT | INPUT_UP;
      data.bits.push_back(i % 150 < 4 ? INPUT_BUTTON1 : i > 900 ? steer : 0);
    }
    WriteFile(path, EncodeReplay(data));
  }
  // The whole program's run of a replay from the boot on; the trace it wrote.
  std::string Run(const char* replay, int32_t fps, uint64_t lookCost) {
    SetUp();
    const std::string trace = "app_message_loop_test.jsonl";  // in this build's folder
    std::string error;
    ReplayData loaded;
    EXPECT_TRUE(ReplayStartPlaying(replay, &loaded, &error)) << error;
    SlowSkip = (loaded.switches & REPLAY_SWITCH_SLOW) != 0 ? SLOW_SKIP_CHANGES : 0;
    EXPECT_TRUE(TraceOpen(trace.c_str(), &error)) << error;
    FrameRateLimit = fps;
    EXPECT_EQ(CreateMainWindow(), 1);
    ResetSystem();
    EXPECT_EQ(RunLoop(1000 * SECOND, lookCost), 0);
    EXPECT_TRUE(TraceClose());
    EXPECT_TRUE(ReplayFinish(&error)) << error;
    TearDown();
    return ReadFileText(trace);
  }
  // The first line where two traces part, shortened; empty when they agree.
  static std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string lineA, lineB;
    while (std::getline(x, lineA)) {
      if (!std::getline(y, lineB)) return "missing: " + lineA.substr(0, 120);
      if (lineA != lineB) return lineA.substr(0, 200) + "\n  became\n" + lineB.substr(0, 200);
    }
    return std::getline(y, lineB) ? "extra: " + lineB.substr(0, 120) : "";
  }
};

TEST_F(Replayed, UncappedRunsTraceAsAtSixtyFramesASecond) {
  for (uint32_t switches : {0u, REPLAY_SWITCH_SLOW}) {
    const char* replay = "app_message_loop_test.zzr";
    WriteReplay(replay, switches, 1500);
    // The game's variables outlive a run here, unlike in a new process: a first run leaves the
    // state that every run after it starts from.
    Run(replay, 60, 40);
    const std::string paced = Run(replay, 60, 40);
    EXPECT_GT(std::count(paced.begin(), paced.end(), '\n'), 1500) << switches;
    EXPECT_NE(paced.find("\"SceneId\":128,"), std::string::npos) << "reached a mission";
    EXPECT_EQ(FirstDifference(paced, Run(replay, 60, 9000)), "") << "loaded, switches " << switches;
    EXPECT_EQ(FirstDifference(paced, Run(replay, 0, 40)), "") << "uncapped, switches " << switches;
    std::remove(replay);
  }
  std::remove("app_message_loop_test.jsonl");
}

}  // namespace
