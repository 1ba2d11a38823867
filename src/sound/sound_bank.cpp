// The sound-effect bank: loading WAVE images into voices and playing effects by number.
#include "sound/sound_bank.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/bytes.h"
#include "core/file_read.h"
#include "core/frame_events.h"

SoundRecord SoundBank[SOUND_EFFECT_COUNT] = {};
const SoundEffectEntry SoundEffectTable[SOUND_EFFECT_COUNT + 1] = {
    {"WAV_00", 1}, {"WAV_01", 1}, {"WAV_02", 2}, {"WAV_03", 2}, {"WAV_04", 1}, {"WAV_05", 1},
    {"WAV_06", 1}, {"WAV_07", 1}, {"WAV_08", 1}, {"WAV_09", 2}, {"WAV_0A", 2}, {nullptr, 0}};
bool SoundReady = false;

namespace {
// Whether the audio device is open; the bank's records are only valid while it is.
bool DeviceOpen = false;

// Nobody ships a sound effect this large; a bigger file is not worth the memory.
constexpr size_t MAX_WAVE_FILE_BYTES = 64U * 1024 * 1024;

// Turns the 'fmt ' contents into a buffer format; false for anything a voice cannot play.
// A 14-byte record has no sample width, so it is derived from the block alignment.
bool ReadWaveFormat(const uint8_t* fmt, uint32_t fmtBytes, PlatformWaveFormat* out) {
  out->formatTag = ReadLe16(fmt);
  out->channels = ReadLe16(fmt + 2);
  out->samplesPerSec = ReadLe32(fmt + 4);
  out->avgBytesPerSec = ReadLe32(fmt + 8);
  out->blockAlign = ReadLe16(fmt + 12);
  if (out->channels == 0) return false;
  out->bitsPerSample = fmtBytes >= 16 ? ReadLe16(fmt + 14)
                                      : static_cast<uint16_t>(out->blockAlign * 8 / out->channels);
  if (out->formatTag != 1 || out->channels > 2) return false;
  if (out->samplesPerSec < 100 || out->samplesPerSec > 200000) return false;
  if (out->bitsPerSample != 8 && out->bitsPerSample != 16) return false;
  return out->blockAlign == out->channels * out->bitsPerSample / 8;
}

// Makes the buffer and its duplicates from a parsed image. The record is written only when
// every voice exists, except that a failed duplicate leaves slot 0 behind, as the loader
// always has.
int32_t FillRecord(SoundRecord* record, const uint8_t* fmt, uint32_t fmtBytes,
                   const uint8_t* samples, uint32_t sampleBytes, int32_t voices) {
  PlatformWaveFormat format;
  if (!ReadWaveFormat(fmt, fmtBytes, &format)) return 0;
  PlatformSoundBuffer* first = PlatformSoundCreate(format, sampleBytes);
  if (first == nullptr) return 0;
  if (!FillSoundBuffer(first, samples, sampleBytes)) {
    PlatformSoundRelease(first);
    return 0;
  }
  if (voices == 0) {  // nothing would ever play it or give it back before the device closes
    PlatformSoundRelease(first);
    first = nullptr;
  }
  record->voices[0] = first;
  for (int32_t i = 1; i < voices; i++) {
    record->voices[i] = PlatformSoundDuplicate(first);
    if (record->voices[i] == nullptr) return 0;
  }
  for (int32_t i = voices; i < SOUND_MAX_VOICES; i++) record->voices[i] = nullptr;
  record->next = 0;
  record->count = voices;
  record->volume = 0;
  record->pan = 0;
  return 1;
}
}  // namespace

int32_t SoundInit(const void* /*window*/) {
  if (SoundReady) return 0;
  if (!PlatformAudioOpen()) return 0;
  DeviceOpen = true;
  SoundReady = true;
  return 1;
}

int32_t LoadSoundEffects() {
  for (int32_t i = 0; SoundEffectTable[i].name != nullptr; i++) {
    SoundLoad(&SoundBank[i], SoundEffectTable[i].name, SoundEffectTable[i].voices);
  }
  return 1;
}

int32_t SoundLoad(SoundRecord* record, const char* name, int32_t voices) {
  if (!SoundReady) return 1;
  // A record has eight slots; more voices would be written past it.
  if (record == nullptr || name == nullptr || voices < 0 || voices > SOUND_MAX_VOICES) return 0;
  const uint8_t* image = nullptr;
  size_t resourceBytes = 0;
  uint32_t imageBytes = 0;
  std::vector<uint8_t> fileImage;
  if (PlatformFindResource(name, "WAVE", &image, &resourceBytes) && resourceBytes <= UINT32_MAX) {
    imageBytes = static_cast<uint32_t>(resourceBytes);
  } else {
    if (!ReadWholeFile(name, MAX_WAVE_FILE_BYTES, &fileImage) || fileImage.empty()) return 0;
    imageBytes = static_cast<uint32_t>(fileImage.size());
    image = fileImage.data();
  }
  const uint8_t* fmt = nullptr;
  const uint8_t* samples = nullptr;
  uint32_t fmtBytes = 0;
  uint32_t sampleBytes = 0;
  if (!ParseWave(image, imageBytes, &fmt, &fmtBytes, &samples, &sampleBytes)) return 0;
  return FillRecord(record, fmt, fmtBytes, samples, sampleBytes, voices);
}

int32_t ParseWave(const uint8_t* image, uint32_t imageBytes, const uint8_t** format,
                  uint32_t* formatBytes, const uint8_t** samples, uint32_t* sampleBytes) {
  *format = nullptr;
  *formatBytes = 0;
  *samples = nullptr;
  *sampleBytes = 0;
  if (image == nullptr || imageBytes < 12) return 0;
  if (std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0) return 0;
  // The walk ends with the RIFF chunk, or earlier when the image was cut short.
  const uint64_t end = std::min<uint64_t>(8ULL + ReadLe32(image + 4), imageBytes);
  uint64_t pos = 12;
  if (pos >= end) return 0;
  while (pos + 8 <= end) {
    const uint8_t* id = image + pos;
    const uint64_t left = end - (pos + 8);
    const uint64_t stated = ReadLe32(image + pos + 4);
    const uint32_t n = static_cast<uint32_t>(std::min(stated, left));
    const uint8_t* contents = image + pos + 8;
    if (std::memcmp(id, "fmt ", 4) == 0 && *format == nullptr) {
      if (n < 14) return 0;
      *format = contents;
      *formatBytes = n;
      if (*samples != nullptr && *sampleBytes != 0) return 1;
    } else if (std::memcmp(id, "data", 4) == 0 && (*samples == nullptr || *sampleBytes == 0)) {
      *samples = contents;
      *sampleBytes = n;
      if (*format != nullptr) return 1;
    }
    pos += 8 + stated + (stated & 1);
    if (pos >= end) return 0;
  }
  return 0;
}

int32_t FillSoundBuffer(PlatformSoundBuffer* buffer, const uint8_t* samples, uint32_t bytes) {
  if (buffer == nullptr || samples == nullptr || bytes == 0) return 0;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0;
  uint32_t n2 = 0;
  if (!PlatformSoundLock(buffer, 0, bytes, &p1, &n1, &p2, &n2)) return 0;
  // Never copy more than was asked for, whatever the lock handed back.
  n1 = std::min(n1, bytes);
  n2 = std::min(n2, bytes - n1);
  if (p1 != nullptr) std::memcpy(p1, samples, n1);
  if (p2 != nullptr) std::memcpy(p2, samples + n1, n2);
  PlatformSoundUnlock(buffer, p1, n1, p2, n2);
  return 1;
}

PlatformSoundBuffer* SoundPlay(SoundRecord* record) {
  if (!SoundReady || record == nullptr) return nullptr;
  if (record->next < 0 || record->next >= record->count) record->next = 0;
  PlatformSoundBuffer* buffer = record->voices[record->next];
  record->next++;
  if (buffer == nullptr) return nullptr;
  bool playing = false;
  if (!PlatformSoundIsPlaying(buffer, &playing)) return nullptr;
  if (playing) {
    PlatformSoundStop(buffer);
    PlatformSoundSetPosition(buffer, 0);
  }
  PlatformSoundSetPan(buffer, record->pan);
  PlatformSoundSetVolume(buffer, record->volume);
  PlatformSoundPlay(buffer);
  return buffer;
}

int32_t PlaySoundEffect(int32_t n) {
  TraceSoundRequest(n);
  if (n < 0 || n >= SOUND_EFFECT_COUNT) return 1;
  SoundPlay(&SoundBank[n]);
  return 1;
}

int32_t SoundRelease() {
  if (!DeviceOpen) return 1;
  PlatformAudioClose();
  DeviceOpen = false;
  // The buffers went with the device: forget them so that a late play finds no voice.
  for (SoundRecord& record : SoundBank) record = SoundRecord{};
  return 1;
}
