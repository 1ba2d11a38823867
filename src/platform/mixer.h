// The effect mixer: PCM voices over shared samples, resampled and summed into a stereo stream.
// Not thread-safe by itself: the audio backend serialises calls with its render.
#pragma once
#include <cstdint>

// A second source added into the mix (the music). It fills `frames` interleaved stereo
// frames, already zeroed, in the range -1..1.
using MusicRenderFn = void (*)(float* interleavedStereo, int frames, void* user);

struct Mixer;
struct MixerVoice;

constexpr int32_t MIXER_VOLUME_MIN = -10000;  // silence, in hundredths of a decibel
constexpr int32_t MIXER_PAN_LEFT = -10000;    // right channel silent
constexpr int32_t MIXER_PAN_RIGHT = 10000;    // left channel silent

Mixer* MixerCreate(int32_t deviceRate);
void MixerDestroy(Mixer* m);  // frees every voice as well
int32_t MixerDeviceRate(const Mixer* m);
int32_t MixerVoiceCount(const Mixer* m);

// A voice with its own samples: 1 or 2 channels, 8-bit unsigned or 16-bit signed, 100 to
// 200000 frames a second, at least one byte. Null for anything else.
MixerVoice* MixerCreateVoice(Mixer* m, int32_t channels, int32_t rate, int32_t bits,
                             uint32_t bytes);
// A voice sharing the original's samples, starting with its pan and volume, stopped at 0;
// from then on it has its own position, pan and volume.
MixerVoice* MixerDuplicateVoice(Mixer* m, MixerVoice* original);
void MixerReleaseVoice(Mixer* m, MixerVoice* v);

uint8_t* MixerVoiceSamples(MixerVoice* v);  // the shared sample bytes, for filling
uint32_t MixerVoiceBytes(const MixerVoice* v);

void MixerPlay(MixerVoice* v);  // once, from the current position; it stops at the end
void MixerStop(MixerVoice* v);  // keeps the position
bool MixerIsPlaying(const MixerVoice* v);
bool MixerSetPosition(MixerVoice* v, uint32_t byteOffset);  // false past the end
uint32_t MixerGetPosition(const MixerVoice* v);             // in bytes, whole frames
void MixerSetPan(MixerVoice* v, int32_t pan);               // -10000..10000, clamped
void MixerSetVolume(MixerVoice* v, int32_t volume);         // -10000..0, clamped

void MixerSetMusicSource(Mixer* m, MusicRenderFn fn, void* user);

// Amplitude factors for the music and for the sum of the effects (0..1, clamped); both start
// at 1. They are how the player's volume settings reach the mix.
void MixerSetLevels(Mixer* m, float music, float effects);

// The output stage keeps the sum within full scale without flattening it: a frame that would
// go past full scale turns the whole mix (both sides alike) down just enough, and the gain then
// comes back up with this time constant. A mix that stays within full scale passes unchanged.
constexpr float MIXER_LIMITER_RELEASE_SECONDS = 0.15f;

// Mixes the next `frames` interleaved stereo frames. Allocates nothing.
void MixerRenderFloat(Mixer* m, float* out, int32_t frames);
void MixerRenderS16(Mixer* m, int16_t* out, int32_t frames);
