// The stop signals on the real machine: each one becomes a single request to close, not death,
// unless the program was started ignoring it.
#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include "platform/platform.h"

namespace {

// Every event queued now, in order.
std::vector<PlatformEventType> Drain() {
  std::vector<PlatformEventType> types;
  PlatformEvent event;
  while (PlatformEventWaiting() && PlatformNextEvent(&event)) types.push_back(event.type);
  return types;
}

// A hang-up ignored from the start, as under nohup, stays ignored; otherwise each is caught.
TEST(SdlStopSignals, SignalsQueueOneTerminateButAnIgnoredOneStaysIgnored) {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGHUP, SIG_IGN);
  PlatformCatchStopSignals();
  Drain();
  ASSERT_EQ(std::raise(SIGHUP), 0);
  EXPECT_TRUE(Drain().empty()) << "an ignored hang-up closed the game";
  std::signal(SIGHUP, SIG_DFL);
  PlatformCatchStopSignals();
  // Two before the pump looks: one request, taken once. The process test sends each signal alone.
  std::raise(SIGTERM);
  std::raise(SIGHUP);
  EXPECT_EQ(Drain(), std::vector<PlatformEventType>{PEV_TERMINATE});
  EXPECT_TRUE(Drain().empty());
}

}  // namespace
