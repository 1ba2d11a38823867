// The built-in synthesiser used when no SoundFont is found: cheap oscillator voices per General
// MIDI instrument family and noise drums. One program-wide instance; not thread-safe by itself,
// the caller serialises messages with rendering. Allocates nothing after start.
#pragma once
#include <cstdint>

constexpr int32_t FALLBACK_SYNTH_VOICES = 32;  // the oldest voice is taken when all are busy

// Our contribution never leaves this range: sums above FALLBACK_SYNTH_KNEE are bent softly
// towards 1 instead of clipping. A note at full velocity and volume
// peaks between 0.1 and 0.3, leaving room for a busy song.
constexpr float FALLBACK_SYNTH_KNEE = 0.6f;

// Starts (or restarts) at `sampleRate` frames a second with every channel at its defaults.
// False, and silent from then on, for a rate outside 8000..192000.
bool FallbackSynthInit(int32_t sampleRate);

// A channel message packed as status | data1 << 8 | data2 << 16. Unknown messages are ignored.
void FallbackSynthMessage(uint32_t shortMessage);

// Adds the next `frames` interleaved stereo frames into the buffer.
void FallbackSynthRender(float* interleavedStereo, int frames);

// Releases every note and lifts the sustain pedals; programs and levels stay.
void FallbackSynthReset();

int32_t FallbackSynthActiveVoices();  // voices still sounding, releases included
