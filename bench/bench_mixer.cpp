// Cost of mixing the effect voices: 22 voices (every slot of the bank, twice over) into one
// device buffer of 512 frames, as a share of the buffer's own playing time.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/mixer.h"

namespace {
constexpr int32_t FRAMES = 512;

void MixVoices(benchmark::State& state) {
  const auto deviceRate = static_cast<int32_t>(state.range(0));
  const auto voices = static_cast<int32_t>(state.range(1));
  Mixer* m = MixerCreate(deviceRate);
  std::vector<MixerVoice*> all;
  for (int32_t i = 0; i < voices; i++) {
    // The effects' own mix of formats: stereo 11025 Hz and mono 22050 Hz, a second long.
    const bool stereo = i % 3 == 0;
    const int32_t rate = stereo ? 11025 : 22050;
    MixerVoice* v = MixerCreateVoice(m, stereo ? 2 : 1, rate, 8, stereo ? 2 * 11025 : 22050);
    for (uint32_t b = 0; b < MixerVoiceBytes(v); b++) MixerVoiceSamples(v)[b] = (b * 7) & 0xFF;
    MixerSetPan(v, (i % 5 - 2) * 1000);
    MixerSetVolume(v, -(i % 4) * 300);
    all.push_back(v);
  }
  std::vector<int16_t> out(FRAMES * 2);
  for (auto _ : state) {
    for (MixerVoice* v : all) {
      if (!MixerIsPlaying(v)) MixerPlay(v);  // keep every voice sounding
    }
    MixerRenderS16(m, out.data(), FRAMES);
    benchmark::DoNotOptimize(out.data());
  }
  const double bufferSeconds = static_cast<double>(FRAMES) / deviceRate;
  state.counters["buffer_ms"] = bufferSeconds * 1000.0;
  // Seconds of mixing per second of sound, in per cent of one core.
  state.counters["core_percent"] =
      benchmark::Counter(bufferSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
  MixerDestroy(m);
}
BENCHMARK(MixVoices)->Args({44100, 22})->Args({48000, 22})->Args({44100, 1});
}  // namespace

BENCHMARK_MAIN();
