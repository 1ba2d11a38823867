// Long play on the scripted machine: attract cycles, piloted games and button mashing, with the
// game's invariants checked after every frame and the heap watched for growth.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "app/frame_cycle.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "input/pad.h"
#include "platform/fake/fake_platform.h"
#include "support/autopilot.h"

namespace {

constexpr int32_t SOAK_FRAMES = 200000;
constexpr int32_t WARM_UP_FRAMES = 20000;  // every scene and buffer has been used once by then
constexpr int32_t SEGMENT_FRAMES = 6000;

long ResidentPages() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident;
}

bool Healthy() {
  bool sceneKnown = false;
  for (int32_t i = 0; i < SceneTableRows; ++i) sceneKnown |= SceneTable[i].id == SceneId;
  int32_t blasts = 0;
  for (const Explosion& e : Explosions) blasts += e.active != 0;
  return sceneKnown && PlayerGlobe.x >= 0 && PlayerGlobe.x < FIELD_WIDTH && PlayerGlobe.y >= 0 &&
         PlayerGlobe.y < FIELD_HEIGHT && PlayerGlobe.energy >= 0 && blasts <= EXPLOSION_COUNT &&
         MissionIndex >= 0 && MissionIndex < MISSION_COUNT;
}

// Segments in turn: the attract cycle untouched, the pilot alone, the pilot with mashing mixed
// in by a fixed-seed generator of its own, so the soak plays the same game everywhere.
uint32_t SoakInput(int32_t frame) {
  static uint32_t mash = 12345;
  const auto next = [] { return (mash = mash * 1103515245u + 12345u) >> 16; };
  const int32_t segment = (frame / SEGMENT_FRAMES) % 3;
  if (segment == 0) return 0;
  const uint32_t bits = AutopilotInput();
  return segment == 2 && next() % 4 == 0 ? bits ^ (next() & 0x3F) : bits;
}

}  // namespace

TEST(GameSoak, InvariantsHoldAndMemoryStaysFlatOverLongPlay) {
  ASSERT_TRUE(StartScriptedGame());
  long pagesBefore = 0;
  size_t heapBefore = 0;
  int32_t battles = 0, failures = 0;
  for (int32_t frame = 0, lastScene = -1; frame < SOAK_FRAMES && failures < 5; ++frame) {
    if (frame == WARM_UP_FRAMES) pagesBefore = ResidentPages(), heapBefore = mallinfo2().uordblks;
    PlayFrame(SoakInput(frame));
    FakeClearSoundCalls();  // the scripted device's call log is not the game's memory
    ASSERT_EQ(SystemState, SYSTEM_RUNNING) << "frame " << frame << " errors " << ErrorFlags;
    if (!Healthy()) {
      ++failures;
      ADD_FAILURE() << "frame " << frame << ": scene " << SceneId << " globe (" << PlayerGlobe.x
                    << ", " << PlayerGlobe.y << ") energy " << PlayerGlobe.energy << " mission "
                    << MissionIndex;
    }
    battles += SceneId != lastScene && SceneId == SCENE_BATTLE;
    lastScene = SceneId;
  }
  const long pagesAfter = ResidentPages();
  const size_t heapAfter = mallinfo2().uordblks;
  std::printf("soak: %d missions started; heap %zu -> %zu bytes, resident %ld -> %ld pages\n",
              battles, heapBefore, heapAfter, pagesBefore, pagesAfter);
  EXPECT_GT(battles, 20);  // the pilot and the mashing really played
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // A sanitizer's own allocator keeps freed memory in quarantine, so growth is only read here.
  EXPECT_LE(heapAfter, heapBefore + 64 * 1024);
  EXPECT_LE(pagesAfter, pagesBefore + 256);  // 1 MiB: code and stack pages touched late count too
#endif
  StopScriptedGame();
}
