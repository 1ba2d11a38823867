// The effect mixer: sample decoding, resampling, volume and pan, clipping, play state, music.
#include "platform/mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr float kTolerance = 1e-5f;

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
float DbGain(int32_t hundredths) { return static_cast<float>(std::pow(10.0, hundredths / 2000.0)); }

TEST(Mixer, RefusesFormatsItCannotPlay) {
  MixerHolder h(44100);
  EXPECT_EQ(MixerCreateVoice(h.m, 0, 22050, 8, 10), nullptr);
  EXPECT_EQ(MixerCreateVoice(h.m, 3, 22050, 8, 10), nullptr);
  EXPECT_EQ(MixerCreateVoice(h.m, 1, 22050, 12, 10), nullptr);
  EXPECT_EQ(MixerCreateVoice(h.m, 1, 0, 8, 10), nullptr);
  EXPECT_EQ(MixerCreateVoice(h.m, 1, 22050, 8, 0), nullptr);
  EXPECT_EQ(MixerVoiceCount(h.m), 0);
  EXPECT_EQ(MixerCreate(0), nullptr);
}

TEST(Mixer, SilentWithoutVoicesAndAtTheCentreLine) {
  MixerHolder h(22050);
  for (float s : Render(h.m, 64)) EXPECT_EQ(s, 0.0f);
  MixerVoice* v = VoiceWith(h.m, 1, 22050, 8, std::vector<uint8_t>(64, 128));
  MixerPlay(v);
  for (float s : Render(h.m, 64)) EXPECT_EQ(s, 0.0f);
  // A fresh voice holds silence (128), not zero bytes.
  MixerVoice* fresh = MixerCreateVoice(h.m, 1, 22050, 8, 64);
  MixerPlay(fresh);
  for (float s : Render(h.m, 64)) EXPECT_EQ(s, 0.0f);
}

TEST(Mixer, EightBitMonoAtTheDeviceRateGoesToBothSides) {
  MixerHolder h(22050);
  const std::vector<uint8_t> in = {128, 255, 0, 192, 64, 129};
  MixerPlay(VoiceWith(h.m, 1, 22050, 8, in));
  const std::vector<float> out = Render(h.m, 8);
  for (size_t i = 0; i < in.size(); i++) {
    EXPECT_NEAR(out[2 * i], Unsigned8(in[i]), kTolerance) << i;
    EXPECT_NEAR(out[2 * i + 1], Unsigned8(in[i]), kTolerance) << i;
  }
  EXPECT_EQ(out[12], 0.0f);  // over: the voice stopped at its end
}

TEST(Mixer, UpsamplesByLinearInterpolation) {
  MixerHolder h(44100);
  const std::vector<uint8_t> in = {128, 192, 64, 128};
  MixerPlay(VoiceWith(h.m, 1, 11025, 8, in));
  const std::vector<float> out = Render(h.m, 20);
  for (int k = 0; k < 16; k++) {
    const size_t i = static_cast<size_t>(k / 4);
    const float a = Unsigned8(in[i]);
    const float b = Unsigned8(in[std::min<size_t>(i + 1, in.size() - 1)]);
    const float want = a + (b - a) * (k % 4) / 4.0f;
    EXPECT_NEAR(out[2 * k], want, kTolerance) << k;
  }
  for (int k = 16; k < 20; k++) EXPECT_EQ(out[2 * k], 0.0f);
}

TEST(Mixer, DownsamplingSkipsFrames) {
  MixerHolder h(11025);
  std::vector<uint8_t> in(40);
  for (size_t i = 0; i < in.size(); i++) in[i] = static_cast<uint8_t>(100 + i);
  MixerPlay(VoiceWith(h.m, 1, 22050, 8, in));
  const std::vector<float> out = Render(h.m, 20);
  for (size_t k = 0; k < 20; k++) EXPECT_NEAR(out[2 * k], Unsigned8(in[2 * k]), kTolerance);
}

TEST(Mixer, RenderingInPiecesMatchesOneCall) {
  std::vector<uint8_t> in(3000);
  for (size_t i = 0; i < in.size(); i++) in[i] = static_cast<uint8_t>((i * 37) & 0xFF);
  MixerHolder whole(48000), pieces(48000);
  MixerPlay(VoiceWith(whole.m, 1, 22050, 8, in));
  MixerPlay(VoiceWith(pieces.m, 1, 22050, 8, in));
  const std::vector<float> a = Render(whole.m, 1500);
  std::vector<float> b;
  for (int32_t n : {1, 511, 512, 476}) {
    const std::vector<float> part = Render(pieces.m, n);
    b.insert(b.end(), part.begin(), part.end());
  }
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); i++) EXPECT_EQ(a[i], b[i]) << i;
}

TEST(Mixer, StereoAndSixteenBitKeepTheirSides) {
  MixerHolder h(11025);
  MixerPlay(VoiceWith(h.m, 2, 11025, 8, {192, 64, 64, 192}));
  // 16-bit: left 8192, right -8192.
  MixerPlay(VoiceWith(h.m, 2, 11025, 16, {0x00, 0x20, 0x00, 0xE0}));
  const std::vector<float> out = Render(h.m, 3);
  EXPECT_NEAR(out[0], Unsigned8(192) + 0.25f, kTolerance);
  EXPECT_NEAR(out[1], Unsigned8(64) - 0.25f, kTolerance);
  EXPECT_NEAR(out[2], Unsigned8(64), kTolerance);
  EXPECT_NEAR(out[3], Unsigned8(192), kTolerance);
  EXPECT_EQ(out[4], 0.0f);
}

struct GainCase {
  int32_t volume, pan;
  float left, right;
};

void PrintTo(const GainCase& c, std::ostream* os) {
  *os << "volume " << c.volume << ", pan " << c.pan;
}

class MixerGain : public testing::TestWithParam<GainCase> {};

TEST_P(MixerGain, VolumeAndPanInHundredthsOfADecibel) {
  const GainCase& c = GetParam();
  MixerHolder h(22050);
  MixerVoice* v = VoiceWith(h.m, 1, 22050, 8, {192, 192});
  MixerSetVolume(v, c.volume);
  MixerSetPan(v, c.pan);
  MixerPlay(v);
  const std::vector<float> out = Render(h.m, 1);
  EXPECT_NEAR(out[0], 0.5f * c.left, kTolerance);
  EXPECT_NEAR(out[1], 0.5f * c.right, kTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MixerGain,
    testing::Values(GainCase{0, 0, 1.0f, 1.0f}, GainCase{-600, 0, DbGain(-600), DbGain(-600)},
                    GainCase{-10000, 0, 0.0f, 0.0f}, GainCase{-20000, 0, 0.0f, 0.0f},
                    GainCase{500, 0, 1.0f, 1.0f},  // no boost above full
                    GainCase{0, 10000, 0.0f, 1.0f}, GainCase{0, -10000, 1.0f, 0.0f},
                    GainCase{0, -600, 1.0f, DbGain(-600)}, GainCase{0, 600, DbGain(-600), 1.0f},
                    GainCase{-300, 300, DbGain(-600), DbGain(-300)},
                    GainCase{0, 30000, 0.0f, 1.0f}),
    [](const auto& info) {
      auto name = [](int32_t v) { return (v < 0 ? "Minus" : "") + std::to_string(std::abs(v)); };
      return "Volume" + name(info.param.volume) + "Pan" + name(info.param.pan);
    });

TEST(Mixer, SixteenBitOutputScalesTheMixAndClipsInsteadOfWrapping) {
  MixerHolder quiet(22050), loud(22050);
  MixerPlay(VoiceWith(quiet.m, 1, 22050, 8, {192, 96}));
  for (int i = 0; i < 3; i++) MixerPlay(VoiceWith(loud.m, 1, 22050, 8, {255, 0}));
  std::vector<int16_t> q(4), l(4);
  MixerRenderS16(quiet.m, q.data(), 2);
  MixerRenderS16(loud.m, l.data(), 2);
  EXPECT_EQ(q[0], static_cast<int16_t>(std::lrint(0.5f * 32767.0f)));
  EXPECT_EQ(q[2], static_cast<int16_t>(std::lrint(Unsigned8(96) * 32767.0f)));
  EXPECT_EQ(l, (std::vector<int16_t>{32767, 32767, -32767, -32767}));
}

TEST(Mixer, PlaysOnceThenRewinds) {
  MixerHolder h(22050);
  MixerVoice* v = VoiceWith(h.m, 1, 22050, 8, {200, 200, 200, 200});
  MixerPlay(v);
  EXPECT_TRUE(MixerIsPlaying(v));
  Render(h.m, 2);
  EXPECT_EQ(MixerGetPosition(v), 2u);
  EXPECT_TRUE(MixerIsPlaying(v));
  Render(h.m, 4);
  EXPECT_FALSE(MixerIsPlaying(v));
  EXPECT_EQ(MixerGetPosition(v), 0u);
  MixerPlay(v);  // plays again from the start
  const std::vector<float> out = Render(h.m, 4);
  EXPECT_NEAR(out[6], Unsigned8(200), kTolerance);
}

TEST(Mixer, StopKeepsThePositionAndPositionsAreWholeFrames) {
  MixerHolder h(11025);
  std::vector<uint8_t> in(40);
  for (size_t i = 0; i < in.size(); i++) in[i] = static_cast<uint8_t>(100 + i);
  MixerVoice* v = VoiceWith(h.m, 2, 11025, 16, in);  // 4-byte frames
  MixerPlay(v);
  Render(h.m, 3);
  MixerStop(v);
  EXPECT_FALSE(MixerIsPlaying(v));
  EXPECT_EQ(MixerGetPosition(v), 12u);
  Render(h.m, 3);
  EXPECT_EQ(MixerGetPosition(v), 12u);
  EXPECT_TRUE(MixerSetPosition(v, 22));
  EXPECT_EQ(MixerGetPosition(v), 20u);
  EXPECT_TRUE(MixerSetPosition(v, 40));  // the end: a play finishes at once
  EXPECT_FALSE(MixerSetPosition(v, 41));
  EXPECT_EQ(MixerGetPosition(v), 40u);
}

TEST(Mixer, DuplicatesShareSamplesButNotPositions) {
  MixerHolder h(22050);
  MixerVoice* a = VoiceWith(h.m, 1, 22050, 8, {128, 128, 128, 128});
  MixerSetVolume(a, -600);
  MixerVoice* b = MixerDuplicateVoice(h.m, a);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(MixerVoiceSamples(a), MixerVoiceSamples(b));
  MixerVoiceSamples(a)[2] = 255;  // written once, heard through both
  MixerSetVolume(a, 0);
  MixerSetVolume(b, 0);
  MixerPlay(a);
  Render(h.m, 2);
  MixerPlay(b);
  EXPECT_EQ(MixerGetPosition(a), 2u);
  EXPECT_EQ(MixerGetPosition(b), 0u);
  const std::vector<float> out = Render(h.m, 3);
  EXPECT_NEAR(out[0], Unsigned8(255), kTolerance);  // a at frame 2, b at frame 0
  EXPECT_NEAR(out[4], Unsigned8(255), kTolerance);  // b reaches frame 2
  MixerReleaseVoice(h.m, a);
  EXPECT_EQ(MixerVoiceCount(h.m), 1);
  EXPECT_EQ(MixerVoiceSamples(b)[2], 255);  // the samples live on with the duplicate
}

TEST(Mixer, DuplicateStartsWithTheOriginalsSettingsButStopped) {
  MixerHolder h(22050);
  MixerVoice* a = VoiceWith(h.m, 1, 22050, 8, {192, 192, 192});
  MixerSetPan(a, 10000);
  MixerPlay(a);
  Render(h.m, 1);
  MixerVoice* b = MixerDuplicateVoice(h.m, a);
  EXPECT_FALSE(MixerIsPlaying(b));
  EXPECT_EQ(MixerGetPosition(b), 0u);
  MixerStop(a);
  MixerPlay(b);
  const std::vector<float> out = Render(h.m, 1);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_NEAR(out[1], 0.5f, kTolerance);
}

struct MusicProbe {
  std::vector<int> calls;
  bool sawOnlyZeros = true;
};

void ProbeMusic(float* buffer, int frames, void* user) {
  auto* p = static_cast<MusicProbe*>(user);
  p->calls.push_back(frames);
  for (int i = 0; i < frames * 2; i++) {
    if (buffer[i] != 0.0f) p->sawOnlyZeros = false;
    buffer[i] = (i % 2 == 0) ? 0.25f : -0.25f;
  }
}

TEST(Mixer, MusicIsAddedInBlocksOverTheEffects) {
  MixerHolder h(44100);
  MusicProbe probe;
  MixerSetMusicSource(h.m, ProbeMusic, &probe);
  std::vector<uint8_t> in(2000, 192);
  MixerPlay(VoiceWith(h.m, 1, 44100, 8, in));
  const std::vector<float> out = Render(h.m, 1000);
  EXPECT_EQ(probe.calls, (std::vector<int>{512, 488}));
  EXPECT_TRUE(probe.sawOnlyZeros);
  EXPECT_NEAR(out[0], 0.75f, kTolerance);
  EXPECT_NEAR(out[1], 0.25f, kTolerance);
  EXPECT_NEAR(out[1998], 0.75f, kTolerance);
  MixerSetMusicSource(h.m, nullptr, nullptr);
  Render(h.m, 10);
  EXPECT_EQ(probe.calls.size(), 2u);
}
}  // namespace
