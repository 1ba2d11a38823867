// The sound-effect bank: eleven WAVE effects in sound buffers, one or two voices each.
#pragma once
#include <cstdint>

#include "platform/platform.h"

constexpr int32_t SOUND_MAX_VOICES = 8;
constexpr int32_t SOUND_EFFECT_COUNT = 11;

// The effects by what they are played for.
constexpr int32_t SOUND_OBJECT_BROKEN = 0;
constexpr int32_t SOUND_CONFIRM = 1;
constexpr int32_t SOUND_RAM = 2;
constexpr int32_t SOUND_EDGE_BOUNCE = 3;
constexpr int32_t SOUND_MISSION_START = 4;
constexpr int32_t SOUND_ROCK = 5;
constexpr int32_t SOUND_RESULT = 6;
constexpr int32_t SOUND_MODE_CHANGE = 7;
constexpr int32_t SOUND_BOSS_MISSION = 8;
constexpr int32_t SOUND_SCORE_TICK = 9;
constexpr int32_t SOUND_BOSS_HIT = 10;

// One loaded effect: voices 0..count-1 share one copy of the samples.
struct SoundRecord {
  PlatformSoundBuffer* voices[SOUND_MAX_VOICES];
  int32_t count;
  int32_t volume;  // hundredths of a decibel, applied at every play
  int32_t pan;     // hundredths of a decibel, applied at every play
  int32_t next;    // the slot the next play uses
};

struct SoundEffectEntry {
  const char* name;  // resource (or file) name; null ends the table
  int32_t voices;
};

extern SoundRecord SoundBank[SOUND_EFFECT_COUNT];
extern const SoundEffectEntry SoundEffectTable[SOUND_EFFECT_COUNT + 1];
extern bool SoundReady;

// Opens the audio device. 1 on success; 0 when there is none or it is already open.
// The window is not needed by this machine; it is taken for the caller's sake.
int32_t SoundInit(const void* window);
// Loads every effect of the table into its SoundBank record; results are not looked at.
int32_t LoadSoundEffects();
// Loads the WAVE resource (or file) called name into record with that many voices.
int32_t SoundLoad(SoundRecord* record, const char* name, int32_t voices);
// Finds the 'fmt ' and 'data' chunks of a RIFF WAVE image of imageBytes bytes. Outputs
// point into the image; lengths are clamped to the bytes the image holds. 1 when both found.
int32_t ParseWave(const uint8_t* image, uint32_t imageBytes, const uint8_t** format,
                  uint32_t* formatBytes, const uint8_t** samples, uint32_t* sampleBytes);
// Copies bytes sample bytes into the start of buffer. 1 on success.
int32_t FillSoundBuffer(PlatformSoundBuffer* buffer, const uint8_t* samples, uint32_t bytes);
// Plays the record once on its next voice; the buffer started, or null.
PlatformSoundBuffer* SoundPlay(SoundRecord* record);
// Plays effect n (0 to 10); any other number plays nothing.
int32_t PlaySoundEffect(int32_t n);
// Closes the audio device and with it every buffer.
int32_t SoundRelease();
