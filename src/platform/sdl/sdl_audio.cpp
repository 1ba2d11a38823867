// Real machine: one SDL audio device whose callback runs the mixer and feeds the optional dump.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/audio_dump.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_settings.h"

struct PlatformSoundBuffer {
  MixerVoice* voice;
};

namespace {
constexpr int WANTED_RATE = 44100;  // 11025 and 22050 divide it: effects resample cleanly
#ifdef __EMSCRIPTEN__
// A browser runs the callback on the page's one thread, between frames: a longer buffer rides
// out a frame's work without a gap.
constexpr int CALLBACK_FRAMES = 2048;
#else
constexpr int CALLBACK_FRAMES = 512;
#endif
// The shares of the mix at full volume, set so that a battle sounds at about -18 LUFS with the
// effects some 3 LU above the music: their samples are recorded near full scale, and only a rare
// pile-up of many effects should reach the limiter.
constexpr float EFFECT_LEVEL = 0.21f;
constexpr float MUSIC_LEVEL = 0.55f;

SDL_AudioDeviceID Device = 0;
int DeviceRate = 0;
Mixer* DeviceMixer = nullptr;
std::vector<std::unique_ptr<PlatformSoundBuffer>> Buffers;
MusicRenderFn MusicFn = nullptr;
void* MusicUser = nullptr;
bool Paused = false;  // the device holds still: neither the mixer nor the synthesiser runs

AudioDumpPtr Dump;  // while --dump-audio records

// Holds the device lock for the length of one buffer operation.
struct DeviceLock {
  DeviceLock() {
    if (Device != 0) SDL_LockAudioDevice(Device);
  }
  ~DeviceLock() {
    if (Device != 0) SDL_UnlockAudioDevice(Device);
  }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;
};

// A volume setting in percent as an amplitude factor: squared, so that equal steps sound
// roughly equally far apart; 0 is silence and 100 the full level.
float PercentLevel(int32_t percent) {
  const float p = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
  return p * p;
}

void AudioCallback(void*, Uint8* stream, int len) {
  const int frames = len / static_cast<int>(2 * sizeof(float));
  auto* out = reinterpret_cast<float*>(stream);
  MixerRenderFloat(DeviceMixer, out, frames);
  if (Dump != nullptr) AudioDumpFeed(Dump.get(), out, frames);
}

bool Alive(const PlatformSoundBuffer* b) {
  return b != nullptr &&
         std::any_of(Buffers.begin(), Buffers.end(), [b](const auto& p) { return p.get() == b; });
}

PlatformSoundBuffer* Adopt(MixerVoice* voice) {
  if (voice == nullptr) return nullptr;
  Buffers.push_back(std::make_unique<PlatformSoundBuffer>(PlatformSoundBuffer{voice}));
  return Buffers.back().get();
}

// Opens the default output. A first open takes the device's own rate; a reopen after the device
// went away asks for the rate the mixer already runs at, and SDL converts.
SDL_AudioDeviceID OpenDefaultDevice(int rate, int* rateGot) {
  SDL_AudioSpec want{};
  want.freq = rate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = CALLBACK_FRAMES;
  want.callback = AudioCallback;
  SDL_AudioSpec have{};
  // SDL converts format, channels and block size for us; only a native rate is taken as is.
  const int changes = rateGot != nullptr ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0;
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, changes);
  if (id != 0 && rateGot != nullptr) *rateGot = have.freq;
  return id;
}
}  // namespace

void SdlAudioSetMusicSource(MusicRenderFn fn, void* user) {
  DeviceLock lock;
  MusicFn = fn;
  MusicUser = user;
  if (DeviceMixer != nullptr) MixerSetMusicSource(DeviceMixer, fn, user);
}

int SdlAudioRate() { return DeviceRate; }

bool PlatformAudioOpen() {
  if (DeviceMixer != nullptr) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: %s\n", SDL_GetError());
    return false;
  }
  Device = OpenDefaultDevice(WANTED_RATE, &DeviceRate);
  if (Device == 0) {
    std::fprintf(stderr, "audio: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  DeviceMixer = MixerCreate(DeviceRate);
  MixerSetMusicSource(DeviceMixer, MusicFn, MusicUser);
  MixerSetLevels(DeviceMixer, MUSIC_LEVEL * PercentLevel(SdlSettings.musicVolume),
                 EFFECT_LEVEL * PercentLevel(SdlSettings.sfxVolume));
  if (SdlSettings.audioDumpPath != nullptr)
    Dump = AudioDumpStart(SdlSettings.audioDumpPath, DeviceRate);
  SDL_PauseAudioDevice(Device, Paused ? 1 : 0);
  return true;
}

void SdlAudioDeviceEvent(bool added, uint32_t which, bool capture) {
  if (capture || DeviceMixer == nullptr) return;
  if (!added && which == Device) {
    // The voices and the mixer stay: only the way out is gone. The game goes on silent.
    SDL_CloseAudioDevice(Device);
    Device = 0;
    std::fprintf(stderr,
                 "audio: the sound device went away; the game goes on silent until another "
                 "one is connected\n");
  } else if (added && Device == 0) {
    Device = OpenDefaultDevice(DeviceRate, nullptr);
    if (Device == 0) return;  // not usable yet; the next one to appear is tried
    SDL_PauseAudioDevice(Device, Paused ? 1 : 0);
    std::fprintf(stderr, "audio: sound goes on through the new default device\n");
  }
}

uint32_t SdlAudioDeviceId() { return Device; }

// The callback stops being called, so every voice and the synthesiser's notes keep their place;
// the song's sequencer holds its clock so that no note falls due meanwhile.
void PlatformAudioPause(bool paused) {
  if (paused == Paused) return;
  Paused = paused;
  if (Device != 0) SDL_PauseAudioDevice(Device, paused ? 1 : 0);
  SdlMidiPause(paused);
}

bool PlatformAudioDumpFailed() { return AudioDumpFailed(); }

void PlatformAudioClose() {
  if (DeviceMixer == nullptr) return;
  if (Device != 0) SDL_CloseAudioDevice(Device);  // returns once the callback has finished
  Device = 0;
  Dump.reset();  // the callback has finished: the writer drains the rest
  Buffers.clear();
  MixerDestroy(DeviceMixer);
  DeviceMixer = nullptr;
  DeviceRate = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

PlatformSoundBuffer* PlatformSoundCreate(const PlatformWaveFormat& format, uint32_t bytes) {
  if (format.formatTag != 1 || format.blockAlign != format.channels * format.bitsPerSample / 8) {
    return nullptr;
  }
  DeviceLock lock;
  if (DeviceMixer == nullptr) return nullptr;
  return Adopt(MixerCreateVoice(DeviceMixer, format.channels,
                                static_cast<int32_t>(format.samplesPerSec), format.bitsPerSample,
                                bytes));
}

PlatformSoundBuffer* PlatformSoundDuplicate(PlatformSoundBuffer* original) {
  DeviceLock lock;
  if (!Alive(original)) return nullptr;
  return Adopt(MixerDuplicateVoice(DeviceMixer, original->voice));
}

// The samples are only written while the buffer is silent (at load), so no lock is held
// between Lock and Unlock.
bool PlatformSoundLock(PlatformSoundBuffer* b, uint32_t offset, uint32_t bytes, void** p1,
                       uint32_t* n1, void** p2, uint32_t* n2) {
  if (!Alive(b)) return false;
  const uint32_t size = MixerVoiceBytes(b->voice);
  if (offset >= size || bytes == 0 || bytes > size) return false;
  uint8_t* data = MixerVoiceSamples(b->voice);
  *n1 = std::min(bytes, size - offset);
  *p1 = data + offset;
  *n2 = bytes - *n1;
  *p2 = *n2 != 0 ? data : nullptr;
  return true;
}

void PlatformSoundUnlock(PlatformSoundBuffer*, void*, uint32_t, void*, uint32_t) {}

bool PlatformSoundIsPlaying(PlatformSoundBuffer* b, bool* playing) {
  DeviceLock lock;
  if (!Alive(b)) return false;
  *playing = MixerIsPlaying(b->voice);
  return true;
}

bool PlatformSoundStop(PlatformSoundBuffer* b) {
  DeviceLock lock;
  if (!Alive(b)) return false;
  MixerStop(b->voice);
  return true;
}

bool PlatformSoundSetPosition(PlatformSoundBuffer* b, uint32_t byteOffset) {
  DeviceLock lock;
  return Alive(b) && MixerSetPosition(b->voice, byteOffset);
}

bool PlatformSoundSetPan(PlatformSoundBuffer* b, int32_t pan) {
  DeviceLock lock;
  if (!Alive(b)) return false;
  MixerSetPan(b->voice, pan);
  return true;
}

bool PlatformSoundSetVolume(PlatformSoundBuffer* b, int32_t volume) {
  DeviceLock lock;
  if (!Alive(b)) return false;
  MixerSetVolume(b->voice, volume);
  return true;
}

bool PlatformSoundPlay(PlatformSoundBuffer* b) {
  DeviceLock lock;
  if (!Alive(b)) return false;
  MixerPlay(b->voice);
  return true;
}

void PlatformSoundRelease(PlatformSoundBuffer* b) {
  DeviceLock lock;
  if (!Alive(b)) return;
  MixerReleaseVoice(DeviceMixer, b->voice);
  std::erase_if(Buffers, [b](const auto& p) { return p.get() == b; });
}
