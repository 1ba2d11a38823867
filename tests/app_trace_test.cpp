// The state trace line: every documented key present, floats that round-trip, frame requests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/trace.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "core/frame_events.h"

namespace {
size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}
}  // namespace

TEST(Trace, LineHoldsEveryDocumentedKeyOnce) {
  const std::string line = TraceLine(7);
  for (const char* key :
       {"frame",       "ClockChanges",   "SystemState",   "ErrorFlags", "SceneId",
        "SceneTimer",  "ScenePhase",     "InputBits",     "pressed",    "RandomSeed",
        "Score",       "HiScore",        "MissionIndex",  "Level",      "TimeLeft",
        "ObjectsLeft", "MissionCleared", "MissionFailed", "BattleOver", "ResultTarget",
        "PlayerGlobe", "BossState",      "CellTypes",     "CellHp",     "Explosions",
        "StarField",   "TempoPercent",   "sounds",        "music"}) {
    EXPECT_EQ(Count(line, std::string("\"") + key + "\":"), 1u) << key;
  }
  EXPECT_EQ(line.rfind("{\"frame\":7,", 0), 0u);
  EXPECT_EQ(Count(line, "\"phase\":"), 32u);  // all 32 sparkles
}

TEST(Trace, SpeedIsWrittenSoThatItRoundTrips) {
  PlayerGlobe.speed = 1.0f;
  for (int i = 0; i < 9; ++i) PlayerGlobe.speed -= 0.1f;
  const std::string line = TraceLine(1);
  const size_t at = line.find("\"speed\":") + 8;
  const float back = std::strtof(line.c_str() + at, nullptr);
  EXPECT_EQ(back, PlayerGlobe.speed);
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
  EXPECT_NE(line.find("\"Explosions\":[{\"index\":3,\"x\":10,\"y\":20,\"frame\":2,\"delay\":1,"
                      "\"tick\":0}]"),
            std::string::npos);
  EXPECT_NE(line.find("\"sounds\":[4,11]"), std::string::npos);
  EXPECT_NE(line.find("\"music\":[{\"stop\":true},{\"play\":2},{\"tempo\":130}]"),
            std::string::npos);
  const std::string next = TraceLine(2);
  EXPECT_NE(next.find("\"sounds\":[],\"music\":[]"), std::string::npos);
  FrameEventsOn = false;
}
