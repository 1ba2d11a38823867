// The state trace line: floats that round-trip, this frame's explosions and requests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/trace.h"
#include "battle/battle_state.h"
#include "battle/explosions.h"
#include "core/frame_events.h"

namespace {

bool HasOnce(const std::string& s, const std::string& what) {
  const size_t at = s.find(what);
  return at != std::string::npos && s.find(what, at + 1) == std::string::npos;
}

TEST(Trace, SpeedIsWrittenSoThatItRoundTrips) {
  PlayerGlobe.speed = 1.0f;
  for (int i = 0; i < 9; ++i) PlayerGlobe.speed -= 0.1f;  // no short decimal form
  const std::string line = TraceLine(7);
  EXPECT_TRUE(line.starts_with("{\"frame\":7,"));
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

}  // namespace
