// Long play on the scripted machine: attract cycles, piloted games and button mashing, with the
// game's invariants checked after every frame and the heap watched for growth.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "input/pad.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"
#include "support/autopilot.h"

namespace {

constexpr int32_t SOAK_FRAMES = 200000;
constexpr int32_t WARM_UP_FRAMES = 20000;  // every scene and buffer has been used once by then
constexpr int32_t SEGMENT_FRAMES = 6000;

// Resident pages of this process.
long ResidentPages() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

bool SceneInTable(int32_t id) {
  for (int32_t i = 0; i < SceneTableRows; ++i)
    if (SceneTable[i].id == id) return true;
  return false;
}

int32_t ActiveExplosions() {
  int32_t n = 0;
  for (const Explosion& e : Explosions) n += e.active != 0;
  return n;
}

// A fixed-seed generator of its own, so the soak plays the same game everywhere.
uint32_t MashSeed = 12345;
uint32_t NextMash() {
  MashSeed = MashSeed * 1103515245u + 12345u;
  return MashSeed >> 16;
}

// Segments in turn: the attract cycle untouched, the pilot alone, the pilot with mashing mixed in.
uint32_t SoakInput(int32_t frame) {
  switch ((frame / SEGMENT_FRAMES) % 3) {
    case 0:
      return 0;
    case 1:
      return AutopilotInput();
    default: {
      const uint32_t bits = AutopilotInput();
      return (NextMash() % 4 == 0) ? bits ^ (NextMash() & 0x3F) : bits;
    }
  }
}

}  // namespace

TEST(GameSoak, InvariantsHoldAndMemoryStaysFlatOverLongPlay) {
  FakeSystemReset();
  FakeDisplayReset();
  FakeAudioReset();
  FakeMidiResetAll();
  SoundReady = false;
  ASSERT_EQ(CreateMainWindow(), 1);
  InputState = {};
  ClockChanges = 0;
  ResetSystem();

  long pagesBefore = 0;
  size_t heapBefore = 0;
  int32_t battles = 0, scenesSeen = 0, lastScene = -1, failures = 0;
  for (int32_t frame = 0; frame < SOAK_FRAMES && failures < 5; ++frame) {
    if (frame == WARM_UP_FRAMES) {
      pagesBefore = ResidentPages();
      heapBefore = HeapInUse();
    }
    HoldPadBits(SoakInput(frame));
    ++ClockChanges;
    SystemFrame();
    FakeClearSoundCalls();  // the scripted device's call log is not the game's memory
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << "frame " << frame << " errors " << ErrorFlags;
    const bool ok = PlayerGlobe.x >= 0 && PlayerGlobe.x < FIELD_WIDTH && PlayerGlobe.y >= 0 &&
                    PlayerGlobe.y < FIELD_HEIGHT && PlayerGlobe.energy >= 0 &&
                    SceneInTable(SceneId) && ActiveExplosions() <= EXPLOSION_COUNT &&
                    MissionIndex >= 0 && MissionIndex < MISSION_COUNT;
    if (!ok) {
      ++failures;
      ADD_FAILURE() << "frame " << frame << ": scene " << SceneId << " globe (" << PlayerGlobe.x
                    << ", " << PlayerGlobe.y << ") energy " << PlayerGlobe.energy << " mission "
                    << MissionIndex << " explosions " << ActiveExplosions();
    }
    if (SceneId != lastScene) {
      ++scenesSeen;
      battles += SceneId == SCENE_BATTLE;
      lastScene = SceneId;
    }
  }
  const long pagesAfter = ResidentPages();
  const size_t heapAfter = HeapInUse();
  std::printf(
      "soak: %d scene changes, %d missions started; heap %zu -> %zu bytes, resident %ld -> "
      "%ld pages\n",
      scenesSeen, battles, heapBefore, heapAfter, pagesBefore, pagesAfter);
  EXPECT_GT(battles, 20);  // the pilot and the mashing really played
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // A sanitizer's own allocator keeps freed memory in quarantine, so growth is only read here.
  EXPECT_LE(heapAfter, heapBefore + 64 * 1024);
  EXPECT_LE(pagesAfter, pagesBefore + 256);  // 1 MiB: code and stack pages touched late count too
#endif
  RequestShutdown();
  SystemFrame();
}
