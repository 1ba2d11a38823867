// Synthesis kit for the sound effects (see effects_synth.h).
#include "effects_synth.h"

#include <algorithm>
#include <cmath>

double SynthSin(double turns) {
  double x = turns - std::floor(turns);  // 0..1
  if (x >= 0.5) x -= 1.0;                // -0.5..0.5
  if (x > 0.25) x = 0.5 - x;
  if (x < -0.25) x = -0.5 - x;
  const double y = TWO_PI * x;  // -pi/2..pi/2: the series converges fast here
  const double y2 = y * y;
  double term = y;
  double sum = y;
  for (int n = 1; n <= 7; n++) {
    term *= -y2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

double SynthExp(double x) {
  if (x < -700.0) return 0.0;
  const double ln2 = 0.6931471805599453;
  const double k = std::floor(x / ln2 + 0.5);
  const double r = x - k * ln2;
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 14; n++) {
    term *= r / n;
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(k));
}

double NoteHz(double midiNote) {
  return 440.0 * SynthExp((midiNote - 69.0) * 0.057762265046662105);
}

double Clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

double SynthNoise::Next() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return static_cast<double>(state) / 2147483648.0 - 1.0;
}

void SynthLowpass::Set(double hz, double rate) {
  coeff = Clamp01(TWO_PI * hz / rate / (1.0 + TWO_PI * hz / rate));
}

double SynthLowpass::Run(double x) {
  z += coeff * (x - z);
  return z;
}

void SynthFilter::Step(double x, double hz, double q, double rate) {
  const double f = 2.0 * SynthSin(std::min(hz, rate / 6.0) / rate / 2.0);
  low += f * band;
  const double high = x - low - band / q;
  band += f * high;
}

double SynthFilter::Low(double x, double hz, double q, double rate) {
  Step(x, hz, q, rate);
  return low;
}

double SynthFilter::Band(double x, double hz, double q, double rate) {
  Step(x, hz, q, rate);
  return band;
}

double Pluck(double t, double attack, double tau) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  return SynthExp(-(t - attack) / tau);
}

double Gate(double t, double attack, double hold, double release) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  if (t < attack + hold) return 1.0;
  return Clamp01(1.0 - (t - attack - hold) / release);
}

double SynthOsc::Tick(double hz, double rate) {
  phase += hz / rate;
  phase -= std::floor(phase);
  return phase;
}

void AddEcho(EffectTrack& track, double rate, double delay, double gain, int repeats) {
  const size_t step = static_cast<size_t>(delay * rate);
  if (step == 0) return;
  const EffectTrack dry = track;
  double g = gain;
  for (int r = 1; r <= repeats; r++, g *= gain) {
    for (size_t i = step * r; i < track.size(); i++) track[i] += g * dry[i - step * r];
  }
}

namespace {
void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(tag[i]));
}

// Removes any DC with a gentle high-pass (about 15 Hz).
void BlockDc(EffectTrack& track, double rate) {
  const double r = 1.0 - TWO_PI * 15.0 / rate;
  double x1 = 0.0, y1 = 0.0;
  for (double& s : track) {
    const double y = s - x1 + r * y1;
    x1 = s;
    y1 = y;
    s = y;
  }
}

// Raised-cosine ramps at both ends.
void FadeEnds(EffectTrack& track, double rate) {
  const size_t in = std::min(track.size() / 2, static_cast<size_t>(0.0015 * rate));
  const size_t out = std::min(track.size() / 2, static_cast<size_t>(0.008 * rate));
  for (size_t i = 0; i < in; i++) track[i] *= 0.5 - 0.5 * SynthSin(0.25 + 0.5 * i / in);
  for (size_t i = 0; i < out; i++) {
    track[track.size() - 1 - i] *= 0.5 - 0.5 * SynthSin(0.25 + 0.5 * i / out);
  }
}
}  // namespace

std::vector<uint8_t> EncodeEffect(std::vector<EffectTrack> channels, uint32_t rate,
                                  uint32_t sampleBytes, double peak) {
  const size_t frames = sampleBytes / channels.size();
  double loudest = 0.0;
  for (EffectTrack& c : channels) {
    c.resize(frames, 0.0);
    BlockDc(c, rate);
    FadeEnds(c, rate);
    for (double s : c) loudest = std::max(loudest, std::fabs(s));
  }
  const double scale = loudest > 0.0 ? peak / loudest : 0.0;
  const uint32_t pad = sampleBytes & 1;
  const auto count = static_cast<uint16_t>(channels.size());
  std::vector<uint8_t> out;
  out.reserve(44 + sampleBytes + pad);
  PutTag(out, "RIFF");
  PutLe32(out, 4 + 24 + 8 + sampleBytes + pad);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe32(out, 16);
  PutLe16(out, 1);
  PutLe16(out, count);
  PutLe32(out, rate);
  PutLe32(out, rate * count);
  PutLe16(out, count);
  PutLe16(out, 8);
  PutTag(out, "data");
  PutLe32(out, sampleBytes);
  for (size_t i = 0; i < frames; i++) {
    for (const EffectTrack& c : channels) {
      const double v = std::clamp(c[i] * scale, -1.0, 1.0);
      out.push_back(static_cast<uint8_t>(128.0 + std::floor(v * 127.0 + 0.5)));
    }
  }
  if (pad != 0) out.push_back(0);
  return out;
}
