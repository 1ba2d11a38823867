// The state trace line: start-up as documented, every key by its name, floats that round-trip,
// this frame's explosions and requests only.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/frame_cycle.h"
#include "app/trace.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "core/frame_events.h"
#include "core/math_helpers.h"
#include "support/autopilot.h"

namespace {

bool HasOnce(const std::string& s, const std::string& what) {
  const size_t at = s.find(what);
  return at != std::string::npos && s.find(what, at + 1) == std::string::npos;
}

// Whether seed reaches value within a few thousand draws of the generator.
bool Follows(uint32_t seed, uint32_t value) {
  for (int32_t i = 0; i < 5000; ++i) {
    if ((seed = seed * 5 + 1) == value) return true;
  }
  return false;
}

// The first two lines' documented values are the trace process test's, through the program.
TEST(Trace, StartUpFramesCarryEveryDocumentedKeyOnce) {
  ASSERT_TRUE(StartScriptedGame());
  PlayFrame(0);
  PlayFrame(0);  // the boot scene seeds from the clock count, 2
  const std::string boot = TraceLine(2);
  EXPECT_TRUE(HasOnce(boot, "\"RandomSeed\":" + std::to_string(RandomSeed) + ","));
  EXPECT_TRUE(Follows(2, RandomSeed)) << RandomSeed;
  for (const char* key :
       {"ClockChanges",   "SystemState",   "ErrorFlags", "SceneId",      "SceneTimer",
        "ScenePhase",     "InputBits",     "pressed",    "RandomSeed",   "Score",
        "HiScore",        "MissionIndex",  "Level",      "TimeLeft",     "ObjectsLeft",
        "MissionCleared", "MissionFailed", "BattleOver", "ResultTarget", "PlayerGlobe",
        "BossState",      "CellTypes",     "CellHp",     "Explosions",   "StarField",
        "TempoPercent",   "sounds",        "music"}) {
    EXPECT_TRUE(HasOnce(boot, std::string("\"") + key + "\":")) << key;
  }
  StopScriptedGame();
}

TEST(Trace, SpeedIsWrittenSoThatItRoundTrips) {
  PlayerGlobe.speed = 1.0f;
  for (int i = 0; i < 9; ++i) PlayerGlobe.speed -= 0.1f;  // no short decimal form
  const std::string line = TraceLine(7);
  const size_t at = line.find("\"speed\":") + 8;
  EXPECT_EQ(std::strtof(line.c_str() + at, nullptr), PlayerGlobe.speed);
}

TEST(Trace, OnlyActiveExplosionsAndThisFramesRequestsAreListed) {
  for (auto& e : Explosions) e.active = 0;
  Explosions[3] = {1, 10, 20, 2, 1, 0};
  FrameEventsOn = true;
  TraceSoundRequest(4);
  TraceSoundRequest(11);
  TraceMusicStop();
  TraceMusicPlay(2);
  TraceMusicTempo(130);
  const std::string line = TraceLine(1);
  EXPECT_TRUE(HasOnce(line,
                      "\"Explosions\":[{\"index\":3,\"x\":10,\"y\":20,\"frame\":2,"
                      "\"delay\":1,\"tick\":0}]"));
  EXPECT_TRUE(HasOnce(line, "\"sounds\":[4,11]"));
  EXPECT_TRUE(HasOnce(line, "\"music\":[{\"stop\":true},{\"play\":2},{\"tempo\":130}]"));
  EXPECT_TRUE(HasOnce(TraceLine(2), "\"sounds\":[],\"music\":[]"));
  FrameEventsOn = false;
}

// A full disk ends the trace with one line on stderr and a failed close, never a silent cut.
TEST(Trace, AFailedWriteStopsTheTraceAndIsReported) {
  ASSERT_TRUE(TraceOpen("/dev/full", nullptr));
  testing::internal::CaptureStderr();
  for (int i = 0; i < 50 && TraceActive(); ++i) TraceFrame();  // past any stdio buffer
  EXPECT_FALSE(TraceActive());
  EXPECT_FALSE(TraceClose());
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(told.starts_with("zizid-ozavav: cannot write the trace /dev/full: ")) << told;
  EXPECT_EQ(told.find('\n'), told.size() - 1) << told;
  ASSERT_TRUE(TraceOpen("app_trace_test.jsonl", nullptr));  // in this build's folder
  TraceFrame();
  EXPECT_TRUE(TraceClose());
  std::remove("app_trace_test.jsonl");
}

}  // namespace
