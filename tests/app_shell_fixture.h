// A clean scripted machine and shell state for the frame cycle, loop and window tests.
#pragma once
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/frame_cycle.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "gfx/display.h"
#include "input/pad.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    // Services an earlier test left running are released as the game would release them.
    gf_DD_Release(1);
    SoundRelease();
    MusicShutdown();
    SoundReady = false;  // the bank's release leaves it set, and a set flag refuses the next start
    FakeSystemReset();
    FakeDisplayReset();
    FakeAudioReset();
    FakeMidiResetAll();
    FakeClearDebugLines();
    TextLanguage = LANGUAGE_JAPANESE;  // the original's texts, as a Japanese locale shows them
    ParseCommandLine("");
    ResetMessageLoop();
    ResetSystem();
    AppActive = MainWindow = ScenePhase = 0;
    ClockChanges = SceneTimer = 0;
    FrameRateLimit = 60;
    JoystickCount = -1;
    InputState = {};
  }
  void TearDown() override {
    // Whatever a test started is released the way the game does it.
    if (SystemState != SYSTEM_ENDED) {
      SystemState = SYSTEM_SHUTDOWN;
      SystemFrame();
    }
    ResetMessageLoop();
  }
  // The message loop until its quit, with a close request at `limit` as a safety net. Looking
  // at the clock costs stepMicros, or the scripted clock would never move between frames.
  static int32_t RunLoop(uint64_t limitMicros, uint64_t stepMicros = 40) {
    FakeSetClockStepPerRead(stepMicros);
    MainWindow = 1;
    FakeQueueEvent(PlatformEvent{PEV_TERMINATE, 0, 0}, limitMicros);
    return MessageLoop();
  }
};
