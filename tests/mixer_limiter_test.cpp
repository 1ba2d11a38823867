// The mixer's output stage: the limiter that keeps loud sums within full scale, and the music and
// effect levels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/mixer.h"

namespace {
constexpr int32_t kRate = 8000;
constexpr float kPi = 3.14159265f;

// A music source that plays a fixed stereo recording, then silence.
struct Tape {
  std::vector<float> samples;  // interleaved
  size_t at = 0;
};

void PlayTape(float* out, int frames, void* user) {
  auto* t = static_cast<Tape*>(user);
  for (int i = 0; i < frames * 2 && t->at < t->samples.size(); ++i) out[i] = t->samples[t->at++];
}

std::vector<float> Mix(Tape* tape, size_t frames) {
  Mixer* m = MixerCreate(kRate);
  MixerSetMusicSource(m, PlayTape, tape);
  std::vector<float> out(frames * 2);
  MixerRenderFloat(m, out.data(), static_cast<int32_t>(frames));
  MixerDestroy(m);
  return out;
}

// A 200 Hz tone: left at `left`, right at `right` times full scale.
Tape Tone(float left, float right, size_t frames) {
  Tape t;
  for (size_t i = 0; i < frames; ++i) {
    const float s = std::sin(2.0f * kPi * 200.0f * static_cast<float>(i) / kRate);
    t.samples.push_back(left * s);
    t.samples.push_back(right * s);
  }
  return t;
}

// Louder than full scale: turned down as a whole, so the tone keeps its shape (a clipped tone's
// gain would swing within every cycle), never passes full scale, and both sides keep their balance.
TEST(MixerLimiter, LoudSumsAreTurnedDownNotFlattened) {
  constexpr size_t kCycle = kRate / 200;
  for (const float loud : {1.5f, 3.0f, 40.0f}) {
    Tape tape = Tone(loud, loud / 2, kRate / 4);
    const std::vector<float> in = tape.samples;
    const std::vector<float> out = Mix(&tape, kRate / 4);
    float peak = 0.0f;
    for (size_t i = 0; i < out.size(); i += 2) {
      EXPECT_LE(std::fabs(out[i]), 1.0f);
      peak = std::max(peak, std::fabs(out[i]));
    }
    EXPECT_GT(peak, 0.99f) << loud;
    for (size_t start = kCycle; start + kCycle <= out.size() / 2; start += kCycle) {
      float low = 2.0f, high = 0.0f;
      for (size_t f = start; f < start + kCycle; ++f) {
        if (std::fabs(in[2 * f]) < 0.1f) continue;
        const float gain = out[2 * f] / in[2 * f];
        low = std::min(low, gain);
        high = std::max(high, gain);
        EXPECT_NEAR(out[2 * f + 1], in[2 * f + 1] * gain, 1e-5f);
      }
      ASSERT_LT(high / low, 1.1f) << loud << " at " << start;
    }
  }
}

TEST(MixerLimiter, QuietMixesPassUnchangedAndTheGainRecoversAfterALoudPart) {
  Tape tape = Tone(0.9f, -0.9f, kRate / 2);
  const std::vector<float> quiet = Mix(&tape, kRate / 2);
  for (size_t i = 0; i < quiet.size(); ++i) ASSERT_EQ(quiet[i], tape.samples[i]) << i;

  // Half a second at four times full scale, then the quiet tone for two seconds.
  Tape loudThenQuiet = Tone(4.0f, 4.0f, kRate / 2);
  const Tape after = Tone(0.5f, 0.5f, 2 * kRate);
  loudThenQuiet.samples.insert(loudThenQuiet.samples.end(), after.samples.begin(),
                               after.samples.end());
  const std::vector<float> out = Mix(&loudThenQuiet, kRate / 2 + 2 * kRate);
  const auto gainAt = [&](size_t frame) {  // measured on the next tone peak
    float in = 0.0f, o = 0.0f;
    for (size_t i = frame; i < frame + kRate / 200; ++i) {
      if (std::fabs(loudThenQuiet.samples[2 * i]) > in) {
        in = std::fabs(loudThenQuiet.samples[2 * i]);
        o = std::fabs(out[2 * i]);
      }
    }
    return o / in;
  };
  EXPECT_LT(gainAt(kRate / 2), 0.5f);  // still turned down just after the loud part
  const float settled =
      gainAt(kRate / 2 + static_cast<size_t>(10 * MIXER_LIMITER_RELEASE_SECONDS * kRate));
  EXPECT_NEAR(settled, 1.0f, 0.001f);
}

struct Constant {
  float value;
};

void ConstantMusic(float* out, int frames, void* user) {
  for (int i = 0; i < frames * 2; ++i) out[i] = static_cast<Constant*>(user)->value;
}

TEST(MixerLimiter, LevelsScaleMusicAndEffectsApartAndAreClamped) {
  struct Case {
    float music, effects, expected;
  };
  // Effect: a held 16-bit sample of 0.25; music: a constant 0.5.
  for (const Case c : {Case{1.0f, 1.0f, 0.75f}, Case{0.5f, 1.0f, 0.5f}, Case{1.0f, 0.0f, 0.5f},
                       Case{0.0f, 0.5f, 0.125f}, Case{3.0f, -1.0f, 0.5f}}) {
    Mixer* m = MixerCreate(22050);
    MixerVoice* v = MixerCreateVoice(m, 1, 22050, 16, 8);
    for (int i = 0; i < 4; ++i) {
      MixerVoiceSamples(v)[2 * i] = 0x00;
      MixerVoiceSamples(v)[2 * i + 1] = 0x20;  // 8192 / 32768
    }
    MixerPlay(v);
    Constant music{0.5f};
    MixerSetMusicSource(m, ConstantMusic, &music);
    MixerSetLevels(m, c.music, c.effects);
    std::vector<float> out(4);
    MixerRenderFloat(m, out.data(), 2);
    EXPECT_NEAR(out[0], c.expected, 1e-6f) << c.music << " " << c.effects;
    EXPECT_NEAR(out[3], c.expected, 1e-6f);
    MixerDestroy(m);
  }
}

}  // namespace
