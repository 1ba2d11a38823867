// The eleven built-in effects: format and length each voice expects, and clean, loud samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

namespace {
struct EffectCase {
  int32_t number;
  const char* name;
  int32_t voices;
  uint16_t channels;
  uint32_t rate;
  uint32_t sampleBytes;
  double seconds;
};

const EffectCase kEffects[] = {
    {0, "WAV_00", 1, 2, 11025, 29768, 1.35}, {1, "WAV_01", 1, 1, 22050, 15579, 0.71},
    {2, "WAV_02", 2, 1, 22050, 11915, 0.54}, {3, "WAV_03", 2, 1, 22050, 5679, 0.26},
    {4, "WAV_04", 1, 1, 22050, 22728, 1.03}, {5, "WAV_05", 1, 1, 22050, 23975, 1.09},
    {6, "WAV_06", 1, 1, 11025, 28016, 2.54}, {7, "WAV_07", 1, 1, 22050, 32727, 1.48},
    {8, "WAV_08", 1, 1, 22050, 37853, 1.72}, {9, "WAV_09", 2, 2, 11025, 6616, 0.30},
    {10, "WAV_0A", 2, 2, 11025, 13230, 0.60}};

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void PrintTo(const EffectCase& e, std::ostream* os) { *os << e.name; }

class EffectTest : public testing::TestWithParam<EffectCase> {};

TEST_P(EffectTest, TableEntryAndImageHaveTheExpectedLayoutAndFormat) {
  const EffectCase& e = GetParam();
  EXPECT_STREQ(SoundEffectTable[e.number].name, e.name);
  EXPECT_EQ(SoundEffectTable[e.number].voices, e.voices);
  const uint8_t* image = nullptr;
  size_t size = 0;
  ASSERT_TRUE(PlatformFindResource(e.name, "WAVE", &image, &size));
  const uint32_t pad = e.sampleBytes & 1;
  ASSERT_EQ(size, 44u + e.sampleBytes + pad);
  EXPECT_EQ(std::memcmp(image, "RIFF", 4), 0);
  EXPECT_EQ(Le32(image + 4), size - 8);
  EXPECT_EQ(std::memcmp(image + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(Le32(image + 16), 16u);
  EXPECT_EQ(Le16(image + 20), 1);  // PCM
  EXPECT_EQ(Le16(image + 22), e.channels);
  EXPECT_EQ(Le32(image + 24), e.rate);
  EXPECT_EQ(Le32(image + 28), e.rate * e.channels);
  EXPECT_EQ(Le16(image + 32), e.channels);
  EXPECT_EQ(Le16(image + 34), 8);
  EXPECT_EQ(std::memcmp(image + 36, "data", 4), 0);
  EXPECT_EQ(Le32(image + 40), e.sampleBytes);
  const double seconds = static_cast<double>(e.sampleBytes) / e.channels / e.rate;
  EXPECT_NEAR(seconds, e.seconds, 0.005);

  const uint8_t* format = nullptr;
  const uint8_t* samples = nullptr;
  uint32_t formatBytes = 0, sampleBytes = 0;
  ASSERT_EQ(
      ParseWave(image, static_cast<uint32_t>(size), &format, &formatBytes, &samples, &sampleBytes),
      1);
  EXPECT_EQ(sampleBytes, e.sampleBytes);
}

TEST_P(EffectTest, SamplesAreCleanAndLoudWithoutClipping) {
  const EffectCase& e = GetParam();
  const uint8_t* image = nullptr;
  size_t size = 0;
  ASSERT_TRUE(PlatformFindResource(e.name, "WAVE", &image, &size));
  ASSERT_GE(size, 44u + e.sampleBytes);
  const uint8_t* s = image + 44;
  const uint32_t n = e.sampleBytes;
  // Starts and ends on the centre line: no click when a voice starts or is left.
  for (uint32_t c = 0; c < e.channels; c++) {
    EXPECT_EQ(s[c], 128);
    EXPECT_EQ(s[n - e.channels + c], 128);
  }
  const auto [lo, hi] = std::minmax_element(s, s + n);
  EXPECT_GT(*lo, 0) << "clipped low";
  EXPECT_LT(*hi, 255) << "clipped high";
  EXPECT_GE(std::max(128 - *lo, *hi - 128), 96) << "quieter than -2.5 dB at its peak";
  double sum = 0.0;
  for (uint32_t i = 0; i < n; i++) sum += s[i];
  EXPECT_NEAR(sum / n, 128.0, 0.5) << "DC offset";
  // It rises from silence rather than jumping in: the first half millisecond stays near the
  // centre line.
  const uint32_t riseSamples = e.rate / 2000 * e.channels;
  for (uint32_t i = 0; i < riseSamples; i++) EXPECT_LE(std::abs(s[i] - 128), 32) << i;
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectTest, testing::ValuesIn(kEffects),
                         [](const testing::TestParamInfo<EffectCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(Effects, LoadIntoTheirVoicesWithTheirFormats) {
  FakeAudioReset();
  SoundReady = false;
  for (SoundRecord& r : SoundBank) r = SoundRecord{};
  ASSERT_EQ(SoundInit(nullptr), 1);
  LoadSoundEffects();
  for (const EffectCase& e : kEffects) {
    const SoundRecord& r = SoundBank[e.number];
    EXPECT_EQ(r.count, e.voices) << e.name;
    PlatformWaveFormat f{};
    for (int32_t v = 0; v < e.voices; v++) {
      ASSERT_TRUE(FakeSoundFormat(r.voices[v], &f)) << e.name;
      EXPECT_EQ(f.channels, e.channels);
      EXPECT_EQ(f.samplesPerSec, e.rate);
    }
  }
  // Every effect sounds when played: the first voice is heard in the mix.
  for (const EffectCase& e : kEffects) {
    PlaySoundEffect(e.number);
    std::vector<float> out;
    FakeAudioRender(FAKE_AUDIO_RATE / 10, &out);
    const float peak = *std::max_element(
        out.begin(), out.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    EXPECT_GT(std::fabs(peak), 0.1f) << e.name;
    FakeAudioRender(FAKE_AUDIO_RATE * 3);  // let it finish
  }
  SoundRelease();
  SoundReady = false;
}
}  // namespace
