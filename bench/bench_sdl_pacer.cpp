// The frame pacer on the real clock: frames per second held and how late each frame starts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "app/message_loop.h"
#include "platform/platform.h"

namespace {

// One second of paced frames per iteration, with a small amount of work in each frame.
void BM_PacedSecond(benchmark::State& state) {
  FrameRateLimit = static_cast<int32_t>(state.range(0));
  const uint64_t period = 1000000 / static_cast<uint64_t>(FrameRateLimit);
  double frames = 0, worstLate = 0, lateSum = 0;
  for (auto _ : state) {
    ResetMessageLoop();
    PaceFrame();
    const uint64_t start = PlatformMicros();
    for (int32_t i = 1; i <= FrameRateLimit; ++i) {
      PlatformWaitUntilMicros(PlatformMicros() + 2000);  // the frame's drawing
      PaceFrame();
      const uint64_t due = start + static_cast<uint64_t>(i) * 1000000 / FrameRateLimit;
      const double late = static_cast<double>(PlatformMicros()) - static_cast<double>(due);
      worstLate = std::max(worstLate, late);
      lateSum += late;
      frames += 1;
    }
  }
  state.counters["fps"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kAvgThreads);
  state.counters["late_us_mean"] = lateSum / frames;
  state.counters["late_us_worst"] = worstLate;
  state.counters["period_us"] = static_cast<double>(period);
}
BENCHMARK(BM_PacedSecond)->Arg(60)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
