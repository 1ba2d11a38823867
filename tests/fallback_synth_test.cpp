// The built-in synthesiser: every instrument and drum sounds in range and in tune, notes end,
// the pool.
#include "platform/fallback_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace {
constexpr int RATE = 44100;

uint32_t Msg(int status, int d1, int d2 = 0) {
  return static_cast<uint32_t>(status) | static_cast<uint32_t>(d1) << 8 |
         static_cast<uint32_t>(d2) << 16;
}

std::vector<float> Render(double seconds) {
  std::vector<float> out(static_cast<size_t>(seconds * RATE) * 2, 0.0f);
  FallbackSynthRender(out.data(), static_cast<int>(out.size() / 2));
  return out;
}

// The largest magnitude; infinity when any sample is not finite.
float Peak(const std::vector<float>& s) {
  float p = 0.0f;
  for (float x : s) p = std::isfinite(x) ? std::max(p, std::fabs(x)) : INFINITY;
  return p;
}

// The strongest frequency of the left channel between 60 and 2000 Hz: Goertzel power of a
// Hann-windowed stretch, scanned in half-hertz steps.
double DominantHz(const std::vector<float>& s) {
  const size_t n = 8192;
  double bestHz = 0.0, best = -1.0;
  for (double hz = 60.0; hz <= 2000.0; hz += 0.5) {
    const double coeff = 2.0 * std::cos(2.0 * M_PI * hz / RATE);
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(n - 1));
      const double s0 = s[2 * i] * w + coeff * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    if (power > best) best = power, bestHz = hz;
  }
  return bestHz;
}

class FallbackSynthTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FallbackSynthInit(RATE)); }
};

// Finite, below full scale, and clearly audible (above -40 dB).
TEST_F(FallbackSynthTest, EveryProgramAndDrumKeyAndABusyPassageSoundInRange) {
  for (int program = 0; program < 128; ++program) {
    FallbackSynthMessage(Msg(0xC3, program));
    FallbackSynthMessage(Msg(0x93, 60, 127));
    const float peak = Peak(Render(0.3));
    EXPECT_TRUE(peak > 0.01f && peak < 1.0f) << "program " << program << ": " << peak;
    FallbackSynthMessage(Msg(0xB3, 120));  // next program starts from silence
  }
  for (int key = 27; key <= 87; ++key) {  // the kit, and keys beyond it on their fallback sound
    FallbackSynthMessage(Msg(0x99, key, 127));
    const float peak = Peak(Render(0.1));
    EXPECT_TRUE(peak > 0.01f && peak < 1.0f) << "drum " << key << ": " << peak;
    FallbackSynthMessage(Msg(0xB9, 120));
  }
  for (int ch = 0; ch < 16; ++ch) {
    FallbackSynthMessage(Msg(0xC0 | ch, ch * 8));
    FallbackSynthMessage(Msg(0xB0 | ch, 7, 127));
    FallbackSynthMessage(Msg(0x90 | ch, 40 + ch, 127));
    FallbackSynthMessage(Msg(0x90 | ch, 47 + ch, 127));
  }
  const float busy = Peak(Render(0.5));
  EXPECT_LT(busy, 1.0f);
  EXPECT_GT(busy, FALLBACK_SYNTH_KNEE) << "loud enough that the limiter was needed";
}

// Equal temperament from A 440, and a full bend is a whole tone.
TEST_F(FallbackSynthTest, NotesSoundInTuneAndBendTwoSemitones) {
  for (const auto& [program, note, bend, hz] :
       {std::tuple{0, 69, 0x2000, 440.0},
        {32, 45, 0x2000, 110.0},
        {73, 81, 0x2000, 880.0},
        {80, 64, 0x2000, 329.63},
        {16, 69, 0x3FFF, 440.0 * std::pow(2.0, 8191.0 / 8192.0 / 6.0)}}) {
    FallbackSynthInit(RATE);
    FallbackSynthMessage(Msg(0xC0, program));
    FallbackSynthMessage(Msg(0xE0, bend & 0x7F, bend >> 7));
    FallbackSynthMessage(Msg(0x90, note, 100));
    Render(0.3);  // past the attack
    EXPECT_NEAR(DominantHz(Render(0.2)), hz, hz * 0.01) << program << " " << note;
  }
}

// Every way of ending a note leaves no voice and no sound, for notes held under the pedal on
// several channels with sustaining instruments (organ, strings, pad).
TEST_F(FallbackSynthTest, EveryWayOfEndingNotesReleasesToSilence) {
  const std::vector<std::vector<uint32_t>> enders = {
      {Msg(0x80, 60), Msg(0x81, 61), Msg(0x82, 62), Msg(0xB0, 64, 0), Msg(0xB1, 64, 0),
       Msg(0xB2, 64, 0)},
      {Msg(0xB0, 123), Msg(0xB1, 123), Msg(0xB2, 123)},
      {Msg(0xB0, 120), Msg(0xB1, 120), Msg(0xB2, 120)},
      {}};  // empty: FallbackSynthReset
  for (const auto& messages : enders) {
    for (int ch = 0; ch < 3; ++ch) {
      FallbackSynthMessage(Msg(0xC0 | ch, std::array{16, 48, 88}[ch]));
      FallbackSynthMessage(Msg(0xB0 | ch, 64, 127));
      FallbackSynthMessage(Msg(0x90 | ch, 60 + ch, 100));
      FallbackSynthMessage(Msg(0x80 | ch, 60 + ch));  // held by the pedal
    }
    Render(1.0);
    EXPECT_EQ(FallbackSynthActiveVoices(), 3) << "the pedal holds";
    if (messages.empty()) FallbackSynthReset();
    for (uint32_t m : messages) FallbackSynthMessage(m);
    Render(8.0);
    EXPECT_EQ(FallbackSynthActiveVoices(), 0) << messages.size();
    EXPECT_EQ(Peak(Render(0.05)), 0.0f) << messages.size();
    for (int ch = 0; ch < 3; ++ch) FallbackSynthMessage(Msg(0xB0 | ch, 64, 0));
  }
}

TEST_F(FallbackSynthTest, FullPoolTakesTheOldestVoice) {
  FallbackSynthMessage(Msg(0xC0, 16));  // organ: sustains while held
  for (int i = 0; i < FALLBACK_SYNTH_VOICES + 8; ++i) FallbackSynthMessage(Msg(0x90, 20 + i, 100));
  EXPECT_EQ(FallbackSynthActiveVoices(), FALLBACK_SYNTH_VOICES);
  // The first notes went; releasing only those leaves the pool full.
  for (int i = 0; i < 8; ++i) FallbackSynthMessage(Msg(0x80, 20 + i));
  Render(0.5);
  EXPECT_EQ(FallbackSynthActiveVoices(), FALLBACK_SYNTH_VOICES);
}

TEST(FallbackSynthRate, OutOfRangeRateStaysSilent) {
  for (int rate : {0, -44100, 7999, 192001}) {
    EXPECT_FALSE(FallbackSynthInit(rate));
    FallbackSynthMessage(Msg(0x90, 60, 127));
    EXPECT_EQ(Peak(Render(0.01)), 0.0f) << rate;
  }
  EXPECT_TRUE(FallbackSynthInit(8000));
}

}  // namespace
