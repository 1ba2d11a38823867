// Cost of the built-in synthesiser: one 512-frame audio period with a busy song's worth of voices.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/fallback_synth.h"

namespace {

uint32_t Msg(int status, int d1, int d2) {
  return static_cast<uint32_t>(status) | static_cast<uint32_t>(d1) << 8 |
         static_cast<uint32_t>(d2) << 16;
}

// Held notes across eight families plus four drums cut and struck again every period, so that
// exactly state.range(0) voices sound throughout.
void BM_RenderPeriod(benchmark::State& state) {
  const int voices = static_cast<int>(state.range(0));
  FallbackSynthInit(44100);
  // Organ, bass, strings, brass, reed, lead, pad, effects: families that do not die away.
  const int SUSTAINING[8] = {16, 32, 48, 56, 64, 80, 88, 120};
  const int drums = 4;
  const int melodic = voices - drums;
  for (int i = 0; i < melodic; ++i) {
    const int ch = i % 8;
    FallbackSynthMessage(Msg(0xC0 | ch, SUSTAINING[ch], 0));
    FallbackSynthMessage(Msg(0xB0 | ch, 64, 127));  // held: nothing decays away
    FallbackSynthMessage(Msg(0x90 | ch, 48 + i, 100));
  }
  std::vector<float> out(512 * 2);
  for (auto _ : state) {
    FallbackSynthMessage(Msg(0xB9, 120, 0));
    for (int key : {36, 38, 42, 49}) FallbackSynthMessage(Msg(0x99, key, 100));
    FallbackSynthRender(out.data(), 512);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["voices"] = FallbackSynthActiveVoices();
  state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_RenderPeriod)->Arg(24)->Arg(32);

}  // namespace
BENCHMARK_MAIN();
