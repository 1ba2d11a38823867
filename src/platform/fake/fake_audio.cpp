// Scripted machine: an audio device that records every buffer call and mixes on demand.
#include <algorithm>
#include <memory>

#include "platform/fake/fake_platform.h"
#include "platform/mixer.h"
#include "platform/platform.h"

struct PlatformSoundBuffer {
  MixerVoice* voice;
  int32_t id;
  PlatformWaveFormat format;
};

namespace {
Mixer* DeviceMixer = nullptr;
std::vector<std::unique_ptr<PlatformSoundBuffer>> Buffers;
std::vector<FakeSoundCall> Calls;
FakeAudioFailures Failures;
int32_t NextId = 1;
int32_t OpenCount = 0;
int32_t DuplicatesMade = 0;
bool Paused = false;

bool Alive(const PlatformSoundBuffer* b) {
  return b != nullptr &&
         std::any_of(Buffers.begin(), Buffers.end(), [b](const auto& p) { return p.get() == b; });
}

// A released buffer's pointer may come back: it is recorded, never read.
void Record(FakeSoundOp op, PlatformSoundBuffer* b, int64_t value) {
  Calls.push_back({op, b, Alive(b) ? b->id : 0, value});
}

PlatformSoundBuffer* Adopt(MixerVoice* voice, const PlatformWaveFormat& format) {
  if (voice == nullptr) return nullptr;
  Buffers.push_back(
      std::make_unique<PlatformSoundBuffer>(PlatformSoundBuffer{voice, NextId++, format}));
  return Buffers.back().get();
}
}  // namespace

const std::vector<FakeSoundCall>& FakeSoundCalls() { return Calls; }

void FakeClearSoundCalls() { Calls.clear(); }

int32_t FakeSoundId(const PlatformSoundBuffer* b) { return Alive(b) ? b->id : 0; }

bool FakeSoundFormat(const PlatformSoundBuffer* b, PlatformWaveFormat* format) {
  if (!Alive(b)) return false;
  *format = b->format;
  return true;
}

void FakeAudioFail(const FakeAudioFailures& failures) { Failures = failures; }

bool FakeAudioIsOpen() { return DeviceMixer != nullptr; }

int32_t FakeAudioOpenCount() { return OpenCount; }

int32_t FakeSoundBuffersAlive() { return static_cast<int32_t>(Buffers.size()); }

bool FakeAudioPaused() { return Paused; }

void FakeAudioRender(int32_t frames, std::vector<float>* out) {
  if (DeviceMixer == nullptr || frames <= 0) return;
  std::vector<float> block(static_cast<size_t>(frames) * 2);
  // A paused device plays silence and moves no voice on.
  if (!Paused) MixerRenderFloat(DeviceMixer, block.data(), frames);
  if (out != nullptr) out->insert(out->end(), block.begin(), block.end());
}

void FakeAudioReset() {
  PlatformAudioClose();
  Calls.clear();
  Failures = FakeAudioFailures{};
  NextId = 1;
  OpenCount = 0;
  DuplicatesMade = 0;
  PlatformAudioPause(false);
}

void PlatformAudioPause(bool paused) {
  Paused = paused;
  FakeMidiHold(paused);
}

bool PlatformAudioOpen() {
  if (Failures.open || DeviceMixer != nullptr) return false;
  DeviceMixer = MixerCreate(FAKE_AUDIO_RATE);
  OpenCount++;
  return DeviceMixer != nullptr;
}

bool PlatformAudioDumpFailed() { return false; }  // the scripted device keeps no dump

void PlatformAudioClose() {
  Buffers.clear();
  MixerDestroy(DeviceMixer);
  DeviceMixer = nullptr;
}

PlatformSoundBuffer* PlatformSoundCreate(const PlatformWaveFormat& format, uint32_t bytes) {
  PlatformSoundBuffer* b = nullptr;
  if (DeviceMixer != nullptr && !Failures.create && format.formatTag == 1 &&
      format.blockAlign == format.channels * format.bitsPerSample / 8) {
    b = Adopt(
        MixerCreateVoice(DeviceMixer, format.channels, static_cast<int32_t>(format.samplesPerSec),
                         format.bitsPerSample, bytes),
        format);
  }
  Record(FSOUND_CREATE, b, bytes);
  return b;
}

PlatformSoundBuffer* PlatformSoundDuplicate(PlatformSoundBuffer* original) {
  PlatformSoundBuffer* b = nullptr;
  const bool refused = Failures.duplicate ||
                       (Failures.duplicateAfter >= 0 && DuplicatesMade >= Failures.duplicateAfter);
  if (Alive(original) && !refused) {
    b = Adopt(MixerDuplicateVoice(DeviceMixer, original->voice), original->format);
    DuplicatesMade++;
  }
  Record(FSOUND_DUPLICATE, b, Alive(original) ? original->id : 0);
  return b;
}

bool PlatformSoundLock(PlatformSoundBuffer* b, uint32_t offset, uint32_t bytes, void** p1,
                       uint32_t* n1, void** p2, uint32_t* n2) {
  Record(FSOUND_LOCK, b, bytes);
  if (!Alive(b) || Failures.lock) return false;
  const uint32_t size = MixerVoiceBytes(b->voice);
  if (offset >= size || bytes == 0 || bytes > size) return false;
  uint8_t* data = MixerVoiceSamples(b->voice);
  *n1 = std::min(bytes, size - offset);
  *p1 = data + offset;
  *n2 = bytes - *n1;
  *p2 = *n2 != 0 ? data : nullptr;
  return true;
}

void PlatformSoundUnlock(PlatformSoundBuffer* b, void*, uint32_t n1, void*, uint32_t n2) {
  Record(FSOUND_UNLOCK, b, static_cast<int64_t>(n1) + n2);
}

bool PlatformSoundIsPlaying(PlatformSoundBuffer* b, bool* playing) {
  const bool ok = Alive(b) && !Failures.status;
  if (ok) *playing = MixerIsPlaying(b->voice);
  Record(FSOUND_STATUS, b, ok && *playing ? 1 : 0);
  return ok;
}

bool PlatformSoundStop(PlatformSoundBuffer* b) {
  Record(FSOUND_STOP, b, 0);
  if (!Alive(b)) return false;
  MixerStop(b->voice);
  return true;
}

bool PlatformSoundSetPosition(PlatformSoundBuffer* b, uint32_t byteOffset) {
  Record(FSOUND_POSITION, b, byteOffset);
  return Alive(b) && MixerSetPosition(b->voice, byteOffset);
}

bool PlatformSoundSetPan(PlatformSoundBuffer* b, int32_t pan) {
  Record(FSOUND_PAN, b, pan);
  if (!Alive(b)) return false;
  MixerSetPan(b->voice, pan);
  return true;
}

bool PlatformSoundSetVolume(PlatformSoundBuffer* b, int32_t volume) {
  Record(FSOUND_VOLUME, b, volume);
  if (!Alive(b)) return false;
  MixerSetVolume(b->voice, volume);
  return true;
}

bool PlatformSoundPlay(PlatformSoundBuffer* b) {
  Record(FSOUND_PLAY, b, Alive(b) ? MixerGetPosition(b->voice) : 0);
  if (!Alive(b)) return false;
  MixerPlay(b->voice);
  return true;
}

void PlatformSoundRelease(PlatformSoundBuffer* b) {
  Record(FSOUND_RELEASE, b, 0);
  if (!Alive(b)) return;
  MixerReleaseVoice(DeviceMixer, b->voice);
  std::erase_if(Buffers, [b](const auto& p) { return p.get() == b; });
}
