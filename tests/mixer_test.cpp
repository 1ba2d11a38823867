// The effect mixer: sample decoding, resampling, play state, duplicates, limiter.
#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr float TOLERANCE = 1e-5f;

// Owns a mixer for one test.
struct MixerHolder {
  explicit MixerHolder(int32_t rate) : m(MixerCreate(rate)) {}
  ~MixerHolder() { MixerDestroy(m); }
  Mixer* m;
};

MixerVoice* VoiceWith(Mixer* m, int32_t channels, int32_t rate, int32_t bits,
                      const std::vector<uint8_t>& bytes) {
  MixerVoice* v = MixerCreateVoice(m, channels, rate, bits, static_cast<uint32_t>(bytes.size()));
  if (v != nullptr) std::memcpy(MixerVoiceSamples(v), bytes.data(), bytes.size());
  return v;
}

std::vector<float> Render(Mixer* m, int32_t frames) {
  std::vector<float> out(static_cast<size_t>(frames) * 2, 123.0f);
  MixerRenderFloat(m, out.data(), frames);
  return out;
}

float Unsigned8(uint8_t s) { return (static_cast<int>(s) - 128) / 128.0f; }

// A fresh voice holds silence (128 in 8 bits), not zero bytes, so it adds nothing.
TEST(Mixer, DecodesEachFormatToItsSidesAndStopsAtTheEnd) {
  MixerHolder h(11025);
  MixerPlay(MixerCreateVoice(h.m, 1, 11025, 8, 64));
  MixerPlay(VoiceWith(h.m, 1, 11025, 8, {160, 96}));
  MixerPlay(VoiceWith(h.m, 2, 11025, 8, {192, 64, 64, 192}));
  MixerPlay(VoiceWith(h.m, 2, 11025, 16, {0x00, 0x10, 0x00, 0xF0, 0, 0, 0, 0}));  // 4096, -4096
  const std::vector<float> out = Render(h.m, 3);
  const std::vector<float> want = {
      0.25f + 0.5f + 0.125f, 0.25f - 0.5f - 0.125f, -0.25f - 0.5f, -0.25f + 0.5f, 0.0f, 0.0f};
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(out[i], want[i], TOLERANCE) << i;
}

TEST(Mixer, UpsamplesByLinearInterpolation) {
  MixerHolder h(44100);
  const std::vector<uint8_t> in = {128, 192, 64, 128};
  MixerPlay(VoiceWith(h.m, 1, 11025, 8, in));
  const std::vector<float> out = Render(h.m, 20);
  for (int k = 0; k < 20; k++) {
    const size_t i = static_cast<size_t>(k / 4);
    const float a = i < 4 ? Unsigned8(in[i]) : 0.0f;
    const float b = i < 4 ? Unsigned8(in[std::min<size_t>(i + 1, 3)]) : 0.0f;
    EXPECT_NEAR(out[2 * k], a + (b - a) * (k % 4) / 4.0f, TOLERANCE) << k;
  }
}

TEST(Mixer, StopKeepsThePositionWhichIsWholeFramesWithinTheSamples) {
  MixerHolder h(11025);
  MixerVoice* v = VoiceWith(h.m, 2, 11025, 16, std::vector<uint8_t>(40, 0));  // 4-byte frames
  MixerPlay(v);
  Render(h.m, 3);
  MixerStop(v);
  Render(h.m, 3);
  EXPECT_EQ(MixerGetPosition(v), 12u);
  EXPECT_FALSE(MixerSetPosition(v, 41));
  EXPECT_TRUE(MixerSetPosition(v, 39));
  EXPECT_EQ(MixerGetPosition(v), 36u);
  MixerPlay(v);
  Render(h.m, 2);
  EXPECT_FALSE(MixerIsPlaying(v));
  EXPECT_EQ(MixerGetPosition(v), 0u) << "back at its start for the next play";
}

TEST(Mixer, DuplicatesShareSamplesAndSettingsButNotPositions) {
  MixerHolder h(22050);
  MixerVoice* a = VoiceWith(h.m, 1, 22050, 8, {128, 128, 128, 128});
  MixerSetPan(a, 30000);    // beyond hard right: the left side is silent
  MixerSetVolume(a, -600);  // hundredths of a decibel
  MixerPlay(a);
  Render(h.m, 2);
  MixerVoice* b = MixerDuplicateVoice(h.m, a);
  EXPECT_FALSE(MixerIsPlaying(b));
  MixerVoiceSamples(a)[2] = 255;    // written once, heard through both
  MixerSetLevels(h.m, 0.0f, 4.0f);  // effects at no more than their own level
  MixerPlay(b);
  const std::vector<float> out = Render(h.m, 3);
  EXPECT_EQ(out[0], 0.0f) << "the duplicate keeps the pan and volume";
  const float gain = static_cast<float>(std::pow(10.0, -600 / 2000.0));
  EXPECT_NEAR(out[1], Unsigned8(255) * gain, TOLERANCE);  // a at frame 2, b at frame 0
  EXPECT_NEAR(out[5], Unsigned8(255) * gain, TOLERANCE);  // b reaches frame 2
  MixerReleaseVoice(h.m, a);
  EXPECT_EQ(MixerVoiceSamples(b)[2], 255) << "the samples live on with the duplicate";
}

// A music source that plays a fixed stereo recording, then silence.
struct Tape {
  std::vector<float> samples;  // interleaved
  size_t at = 0;
};

void PlayTape(float* out, int frames, void* user) {
  auto* t = static_cast<Tape*>(user);
  for (int i = 0; i < frames * 2; ++i) {
    EXPECT_EQ(out[i], 0.0f) << "music is given a clean block";
    if (t->at < t->samples.size()) out[i] = t->samples[t->at++];
  }
}

// The limiter, on a 200 Hz tone played as music at 8000 frames a second.
constexpr int32_t RATE = 8000;
constexpr size_t CYCLE = RATE / 200;

Tape Tone(float left, float right, size_t frames) {
  Tape t;
  for (size_t i = 0; i < frames; ++i) {
    const float s = std::sin(2.0f * 3.14159265f * static_cast<float>(i) / CYCLE);
    t.samples.push_back(left * s);
    t.samples.push_back(right * s);
  }
  return t;
}

std::vector<float> Mix(Tape* tape) {
  MixerHolder h(RATE);
  MixerSetMusicSource(h.m, PlayTape, tape);
  return Render(h.m, static_cast<int32_t>(tape->samples.size() / 2));
}

// Louder than full scale: turned down as a whole, so that the tone keeps its shape (a clipped
// tone's gain would drop towards each peak), never passes full scale, and keeps its balance.
TEST(MixerLimiter, LoudSumsAreTurnedDownNotFlattened) {
  for (const float loud : {1.5f, 40.0f}) {
    Tape tape = Tone(loud, loud / 2, RATE / 4);
    const std::vector<float> in = tape.samples;
    const std::vector<float> out = Mix(&tape);
    for (float s : out) ASSERT_LE(std::fabs(s), 1.0f) << loud;
    const auto gain = [&](size_t f) { return out[2 * f] / in[2 * f]; };
    for (size_t c = 1; c < RATE / 4 / CYCLE; ++c) {  // the first cycle is the attack
      const size_t peak = c * CYCLE + CYCLE / 4;
      EXPECT_NEAR(out[2 * peak], 1.0f, 0.01f) << loud << " cycle " << c;
      EXPECT_NEAR(gain(peak - CYCLE / 8) / gain(peak), 1.0f, 0.05f) << loud << " cycle " << c;
      EXPECT_NEAR(out[2 * peak + 1], 0.5f, 1e-5f) << loud << " cycle " << c;
    }
  }
}

TEST(MixerLimiter, QuietMixesPassUnchangedAndTheGainRecoversAfterALoudPart) {
  Tape quiet = Tone(0.9f, -0.9f, RATE / 2);
  EXPECT_EQ(Mix(&quiet), quiet.samples);

  // Half a second at four times full scale, then a quiet tone for two seconds.
  Tape tape = Tone(4.0f, 4.0f, RATE / 2);
  const Tape after = Tone(0.5f, 0.5f, 2 * RATE);
  tape.samples.insert(tape.samples.end(), after.samples.begin(), after.samples.end());
  const std::vector<float> out = Mix(&tape);
  const auto gainAt = [&](size_t cycle) {  // on the tone's peak in that cycle
    const size_t f = cycle * CYCLE + CYCLE / 4;
    return out[2 * f] / tape.samples[2 * f];
  };
  const size_t quietFrom = RATE / 2 / CYCLE;
  EXPECT_LT(gainAt(quietFrom), 0.5f) << "still turned down just after the loud part";
  EXPECT_NEAR(gainAt(quietFrom + size_t(10 * MIXER_LIMITER_RELEASE_SECONDS * RATE) / CYCLE), 1.0f,
              0.001f);
}

}  // namespace
