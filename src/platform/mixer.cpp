// The effect mixer: linear-interpolating resampler, decibel volume and pan, output limiter.
#include "platform/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {
// Voices are mixed in blocks of this many frames into a float accumulator.
constexpr int32_t BLOCK_FRAMES = 512;
}  // namespace

struct MixerVoice {
  std::shared_ptr<std::vector<uint8_t>> samples;
  int32_t channels = 1;
  int32_t bits = 8;
  int32_t rate = 11025;
  uint32_t frameBytes = 1;
  uint32_t frames = 0;
  uint64_t step = 0;      // source frames per device frame, 32.32 fixed point
  uint64_t position = 0;  // source frame, 32.32 fixed point
  bool playing = false;
  int32_t volume = 0;
  int32_t pan = 0;
  float gainLeft = 1.0f;
  float gainRight = 1.0f;
};

struct Mixer {
  int32_t deviceRate = 44100;
  std::vector<std::unique_ptr<MixerVoice>> voices;
  MusicRenderFn music = nullptr;
  void* musicUser = nullptr;
  float musicLevel = 1.0f;
  float effectLevel = 1.0f;
  float limiterGain = 1.0f;
  float limiterRecovery =
      0.0f;  // the share of the gain's shortfall (in decibels) left after a frame
  float accumulator[BLOCK_FRAMES * 2] = {};
  float musicBlock[BLOCK_FRAMES * 2] = {};
};

namespace {
// Hundredths of a decibel to an amplitude factor; the bottom of the range is silence.
float DecibelGain(int32_t hundredths) {
  if (hundredths <= MIXER_VOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

void UpdateGains(MixerVoice* v) {
  const float volume = DecibelGain(v->volume);
  // A pan attenuates only the far channel, as the original sound cards did.
  v->gainLeft = volume * (v->pan > 0 ? DecibelGain(-v->pan) : 1.0f);
  v->gainRight = volume * (v->pan < 0 ? DecibelGain(v->pan) : 1.0f);
}

float SampleAt(const MixerVoice* v, const uint8_t* data, uint32_t frame, int32_t channel) {
  const uint32_t offset = frame * v->frameBytes + static_cast<uint32_t>(channel) * (v->bits / 8);
  if (v->bits == 8) return (static_cast<int32_t>(data[offset]) - 128) * (1.0f / 128.0f);
  const int16_t s = static_cast<int16_t>(data[offset] | data[offset + 1] << 8);
  return s * (1.0f / 32768.0f);
}

// Adds one voice into the accumulator; stops it (back at its start) when it runs out.
void MixVoice(MixerVoice* v, float* acc, int32_t frames) {
  const uint8_t* data = v->samples->data();
  const int32_t right = v->channels == 2 ? 1 : 0;
  for (int32_t i = 0; i < frames; i++) {
    const uint32_t frame = static_cast<uint32_t>(v->position >> 32);
    if (frame >= v->frames) {
      v->playing = false;
      v->position = 0;
      return;
    }
    const uint32_t after = frame + 1 < v->frames ? frame + 1 : frame;
    const float t = static_cast<float>(static_cast<uint32_t>(v->position)) * 0x1p-32f;
    const float l0 = SampleAt(v, data, frame, 0);
    const float l1 = SampleAt(v, data, after, 0);
    const float r0 = SampleAt(v, data, frame, right);
    const float r1 = SampleAt(v, data, after, right);
    acc[2 * i] += (l0 + (l1 - l0) * t) * v->gainLeft;
    acc[2 * i + 1] += (r0 + (r1 - r0) * t) * v->gainRight;
    v->position += v->step;
  }
}

// Mixes one block of at most BLOCK_FRAMES into m->accumulator.
void MixBlock(Mixer* m, int32_t frames) {
  float* acc = m->accumulator;
  std::fill(acc, acc + frames * 2, 0.0f);
  for (const auto& v : m->voices) {
    if (v->playing) MixVoice(v.get(), acc, frames);
  }
  if (m->effectLevel != 1.0f) {
    for (int32_t i = 0; i < frames * 2; i++) acc[i] *= m->effectLevel;
  }
  if (m->music != nullptr) {
    std::fill(m->musicBlock, m->musicBlock + frames * 2, 0.0f);
    m->music(m->musicBlock, frames, m->musicUser);
    for (int32_t i = 0; i < frames * 2; i++) acc[i] += m->musicBlock[i] * m->musicLevel;
  }
}

// The limiter over one mixed block, in place; afterwards every sample is within -1..1.
void LimitBlock(Mixer* m, int32_t frames) {
  float* acc = m->accumulator;
  float gain = m->limiterGain;
  for (int32_t i = 0; i < frames; i++) {
    // Recovery by a fixed share of the gain's shortfall in decibels: steady at any depth.
    if (gain < 1.0f) gain = std::pow(gain, m->limiterRecovery);
    const float peak = std::max(std::fabs(acc[2 * i]), std::fabs(acc[2 * i + 1]));
    if (peak * gain > 1.0f) gain = 1.0f / peak;
    // The clamp only catches rounding in the division.
    acc[2 * i] = std::clamp(acc[2 * i] * gain, -1.0f, 1.0f);
    acc[2 * i + 1] = std::clamp(acc[2 * i + 1] * gain, -1.0f, 1.0f);
  }
  m->limiterGain = gain;
}

MixerVoice* AddVoice(Mixer* m, std::unique_ptr<MixerVoice> v) {
  m->voices.push_back(std::move(v));
  return m->voices.back().get();
}
}  // namespace

Mixer* MixerCreate(int32_t deviceRate) {
  if (deviceRate <= 0) return nullptr;
  Mixer* m = new (std::nothrow) Mixer;
  if (m == nullptr) return nullptr;
  m->deviceRate = deviceRate;
  m->limiterRecovery = static_cast<float>(
      std::exp(-1.0 / (MIXER_LIMITER_RELEASE_SECONDS * static_cast<double>(deviceRate))));
  m->voices.reserve(64);
  return m;
}

void MixerDestroy(Mixer* m) {
  delete m;  // and with it every voice
}

int32_t MixerDeviceRate(const Mixer* m) { return m->deviceRate; }

int32_t MixerVoiceCount(const Mixer* m) { return static_cast<int32_t>(m->voices.size()); }

MixerVoice* MixerCreateVoice(Mixer* m, int32_t channels, int32_t rate, int32_t bits,
                             uint32_t bytes) {
  if (m == nullptr || channels < 1 || channels > 2 || (bits != 8 && bits != 16)) return nullptr;
  if (rate < 100 || rate > 200000 || bytes == 0) return nullptr;
  std::unique_ptr<MixerVoice> v(new (std::nothrow) MixerVoice);
  if (v == nullptr) return nullptr;
  try {
    v->samples = std::make_shared<std::vector<uint8_t>>(bytes, bits == 8 ? 128 : 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  v->channels = channels;
  v->bits = bits;
  v->rate = rate;
  v->frameBytes = static_cast<uint32_t>(channels * bits / 8);
  v->frames = bytes / v->frameBytes;
  v->step = (static_cast<uint64_t>(rate) << 32) / static_cast<uint64_t>(m->deviceRate);
  return AddVoice(m, std::move(v));
}

MixerVoice* MixerDuplicateVoice(Mixer* m, MixerVoice* original) {
  if (m == nullptr || original == nullptr) return nullptr;
  std::unique_ptr<MixerVoice> v(new (std::nothrow) MixerVoice(*original));
  if (v == nullptr) return nullptr;
  v->position = 0;
  v->playing = false;
  return AddVoice(m, std::move(v));
}

void MixerReleaseVoice(Mixer* m, MixerVoice* v) {
  if (m == nullptr || v == nullptr) return;
  auto it = std::find_if(m->voices.begin(), m->voices.end(),
                         [v](const std::unique_ptr<MixerVoice>& p) { return p.get() == v; });
  if (it != m->voices.end()) m->voices.erase(it);
}

uint8_t* MixerVoiceSamples(MixerVoice* v) { return v->samples->data(); }

uint32_t MixerVoiceBytes(const MixerVoice* v) { return static_cast<uint32_t>(v->samples->size()); }

void MixerPlay(MixerVoice* v) { v->playing = true; }

void MixerStop(MixerVoice* v) { v->playing = false; }

bool MixerIsPlaying(const MixerVoice* v) { return v->playing; }

bool MixerSetPosition(MixerVoice* v, uint32_t byteOffset) {
  if (byteOffset > v->samples->size()) return false;
  v->position = static_cast<uint64_t>(byteOffset / v->frameBytes) << 32;
  return true;
}

uint32_t MixerGetPosition(const MixerVoice* v) {
  const uint32_t frame = std::min(static_cast<uint32_t>(v->position >> 32), v->frames);
  return frame * v->frameBytes;
}

void MixerSetPan(MixerVoice* v, int32_t pan) {
  v->pan = std::clamp(pan, MIXER_PAN_LEFT, MIXER_PAN_RIGHT);
  UpdateGains(v);
}

void MixerSetVolume(MixerVoice* v, int32_t volume) {
  v->volume = std::clamp(volume, MIXER_VOLUME_MIN, 0);
  UpdateGains(v);
}

void MixerSetMusicSource(Mixer* m, MusicRenderFn fn, void* user) {
  m->music = fn;
  m->musicUser = user;
}

void MixerSetLevels(Mixer* m, float music, float effects) {
  m->musicLevel = std::clamp(music, 0.0f, 1.0f);
  m->effectLevel = std::clamp(effects, 0.0f, 1.0f);
}

void MixerRenderFloat(Mixer* m, float* out, int32_t frames) {
  while (frames > 0) {
    const int32_t n = std::min(frames, BLOCK_FRAMES);
    MixBlock(m, n);
    LimitBlock(m, n);
    std::copy(m->accumulator, m->accumulator + n * 2, out);
    out += n * 2;
    frames -= n;
  }
}

void MixerRenderS16(Mixer* m, int16_t* out, int32_t frames) {
  while (frames > 0) {
    const int32_t n = std::min(frames, BLOCK_FRAMES);
    MixBlock(m, n);
    LimitBlock(m, n);
    for (int32_t i = 0; i < n * 2; i++) {
      out[i] = static_cast<int16_t>(std::lrint(m->accumulator[i] * 32767.0f));
    }
    out += n * 2;
    frames -= n;
  }
}
