// Real machine: one SDL audio device whose callback runs the mixer, and the optional dump.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_settings.h"

struct PlatformSoundBuffer {
  MixerVoice* voice;
};

namespace {
constexpr int kWantedRate = 44100;  // 11025 and 22050 divide it: effects resample cleanly
constexpr int kCallbackFrames = 512;
// The shares of the mix at full volume, set so that a battle sounds at about -18 LUFS with the
// effects some 3 LU above the music: their samples are recorded near full scale, and only a rare
// pile-up of many effects should reach the limiter.
constexpr float kEffectLevel = 0.21f;
constexpr float kMusicLevel = 0.55f;

SDL_AudioDeviceID Device = 0;
int DeviceRate = 0;
Mixer* DeviceMixer = nullptr;
std::vector<std::unique_ptr<PlatformSoundBuffer>> Buffers;
MusicRenderFn MusicFn = nullptr;
void* MusicUser = nullptr;
bool Paused = false;  // the device holds still: neither the mixer nor the synthesiser runs

// The dump: the callback copies each block into a ring; a writer thread drains it to the
// file, so the callback never waits on the disk. A full ring drops the block and counts it.
struct AudioDump {
  std::FILE* file = nullptr;
  std::vector<int16_t> ring;    // interleaved stereo samples, size a power of two
  std::atomic<size_t> head{0};  // written by the callback
  std::atomic<size_t> tail{0};  // written by the writer
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> droppedFrames{0};
  SDL_sem* wake = nullptr;
  std::thread writer;
  std::string path;
  uint32_t dataBytes = 0;          // only what reached the file, in whole frames
  std::atomic<bool> ended{false};  // a failed write or a full file: no more samples are kept
};
AudioDump* Dump = nullptr;
std::atomic<bool> DumpFailed{false};  // sticky, so that the program's exit code can tell
constexpr size_t kDumpRingSamples = size_t{1} << 19;  // about 6 s of 44.1 kHz stereo
// The RIFF size (36 + data) is 32 bits: about 6.7 hours at 44.1 kHz, in whole frames.
constexpr uint32_t kMaxDumpDataBytes = (UINT32_MAX - 36) & ~3u;

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

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Writes (or rewrites) the 44-byte header for 16-bit stereo at the device rate; false (errno
// set) when it did not reach the file.
bool WriteDumpHeader(AudioDump* d) {
  uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  PutLe32(h + 4, 36 + d->dataBytes);
  PutLe32(h + 16, 16);
  PutLe16(h + 20, 1);
  PutLe16(h + 22, 2);
  PutLe32(h + 24, static_cast<uint32_t>(DeviceRate));
  PutLe32(h + 28, static_cast<uint32_t>(DeviceRate) * 4);
  PutLe16(h + 32, 4);
  PutLe16(h + 34, 16);
  h[36] = 'd';
  h[37] = 'a';
  h[38] = 't';
  h[39] = 'a';
  PutLe32(h + 40, d->dataBytes);
  if (std::fseek(d->file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, d->file) != sizeof h)
    return false;
  return std::fseek(d->file, 0, SEEK_END) == 0;
}

std::string CannotWrite(const AudioDump* d, int error) {
  return "cannot write " + d->path + ": " + std::strerror(error);
}

// Ends the dump for good, told in one line; the samples that follow are let go.
void EndDump(AudioDump* d, const std::string& why, bool failed = true) {
  d->ended.store(true, std::memory_order_relaxed);
  if (failed) DumpFailed.store(true);
  std::fprintf(stderr, "audio dump: %s\n", why.c_str());
}

// Writes what the ring holds; keeps the header current so a killed program leaves a valid file.
void DrainDump(AudioDump* d) {
  const size_t head = d->head.load(std::memory_order_acquire);
  size_t tail = d->tail.load(std::memory_order_relaxed);
  if (head == tail) return;
  const size_t mask = d->ring.size() - 1;
  bool full = false;
  while (tail != head && !full && !d->ended.load(std::memory_order_relaxed)) {
    const size_t at = tail & mask;
    const size_t room = (kMaxDumpDataBytes - d->dataBytes) / sizeof(int16_t);
    const size_t n = std::min({head - tail, d->ring.size() - at, room});
    full = n == room;
    // Unbuffered, so the count is what reached the file (host is little-endian).
    const size_t put = std::fwrite(d->ring.data() + at, sizeof(int16_t), n, d->file);
    d->dataBytes += static_cast<uint32_t>(put * sizeof(int16_t)) & ~3u;
    if (put != n) {
      const int error = errno;
      // Cut off a torn frame so that the header counts every byte of data in the file.
      if (ftruncate(fileno(d->file), 44 + static_cast<off_t>(d->dataBytes)) == 0)
        WriteDumpHeader(d);
      EndDump(d, CannotWrite(d, error));
    }
    tail += n;
  }
  d->tail.store(head, std::memory_order_release);
  if (d->ended.load(std::memory_order_relaxed)) return;
  if (!WriteDumpHeader(d)) {
    EndDump(d, CannotWrite(d, errno));
  } else if (full) {
    EndDump(d, d->path + " has reached the 4 GiB size limit of a WAVE file; the dump stops here",
            false);
  }
}

void DumpWriterLoop(AudioDump* d) {
  while (!d->stop.load(std::memory_order_acquire)) {
    SDL_SemWaitTimeout(d->wake, 100);
    DrainDump(d);
  }
  DrainDump(d);
}

// Called from the audio callback: copies one block without waiting.
void FeedDump(AudioDump* d, const float* block, int frames) {
  const size_t head = d->head.load(std::memory_order_relaxed);
  const size_t tail = d->tail.load(std::memory_order_acquire);
  const size_t samples = static_cast<size_t>(frames) * 2;
  if (d->ended.load(std::memory_order_relaxed)) return;
  if (d->ring.size() - (head - tail) < samples) {
    d->droppedFrames.fetch_add(static_cast<uint32_t>(frames), std::memory_order_relaxed);
    return;
  }
  const size_t mask = d->ring.size() - 1;
  for (size_t i = 0; i < samples; i++) {
    d->ring[(head + i) & mask] = static_cast<int16_t>(std::lrint(block[i] * 32767.0f));
  }
  d->head.store(head + samples, std::memory_order_release);
  SDL_SemPost(d->wake);
}

AudioDump* StartDump(const char* path) {
  auto* d = new AudioDump;
  d->file = std::fopen(path, "wb");
  if (d->file == nullptr) {
    std::fprintf(stderr, "audio dump: cannot write %s\n", path);
    DumpFailed.store(true);
    delete d;
    return nullptr;
  }
  std::setvbuf(d->file, nullptr, _IONBF, 0);
  d->path = path;
  d->ring.assign(kDumpRingSamples, 0);
  d->wake = SDL_CreateSemaphore(0);
  if (!WriteDumpHeader(d)) EndDump(d, CannotWrite(d, errno));
  d->writer = std::thread(DumpWriterLoop, d);
  return d;
}

void FinishDump(AudioDump* d) {
  d->stop.store(true, std::memory_order_release);
  SDL_SemPost(d->wake);
  d->writer.join();
  if (std::fclose(d->file) != 0 && !d->ended.load()) {
    EndDump(d, CannotWrite(d, errno));
  }
  if (d->droppedFrames.load() != 0) {
    std::fprintf(stderr, "audio dump: %u frames dropped (writer fell behind)\n",
                 d->droppedFrames.load());
  }
  SDL_DestroySemaphore(d->wake);
  delete d;
}

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
  if (Dump != nullptr) FeedDump(Dump, out, frames);
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
  want.samples = kCallbackFrames;
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
  Device = OpenDefaultDevice(kWantedRate, &DeviceRate);
  if (Device == 0) {
    std::fprintf(stderr, "audio: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  DeviceMixer = MixerCreate(DeviceRate);
  MixerSetMusicSource(DeviceMixer, MusicFn, MusicUser);
  MixerSetLevels(DeviceMixer, kMusicLevel * PercentLevel(SdlSettings.musicVolume),
                 kEffectLevel * PercentLevel(SdlSettings.sfxVolume));
  if (SdlSettings.audioDumpPath != nullptr) Dump = StartDump(SdlSettings.audioDumpPath);
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

bool PlatformAudioDumpFailed() { return DumpFailed.load(); }

void PlatformAudioClose() {
  if (DeviceMixer == nullptr) return;
  if (Device != 0) SDL_CloseAudioDevice(Device);  // returns once the callback has finished
  Device = 0;
  if (Dump != nullptr) FinishDump(Dump);
  Dump = nullptr;
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
