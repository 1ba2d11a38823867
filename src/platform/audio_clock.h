// A MIDI sequencer stepped by the audio it is heard in: where no thread can run the sequencer,
// the audio callback renders its buffer in pieces and plays the events due before each piece,
// on a clock that counts the frames rendered. Machine-independent; the web machine uses it.
#pragma once
#include <cstdint>

#include "platform/midi_stream.h"

// The longest piece rendered between two looks at the sequencer: events land within it.
constexpr int AUDIO_CLOCK_STEP_FRAMES = 64;

struct AudioClock {
  int32_t rate = 44100;  // frames a second
  uint64_t frames = 0;   // frames rendered since the start
};

void AudioClockStart(AudioClock* clock, int32_t rate);
// Microseconds of audio rendered so far: the sequencer's clock.
uint64_t AudioClockMicros(const AudioClock* clock);

// Adds `frames` interleaved stereo frames of `render` into `out`, advancing the sequencer (whose
// clock must read `clock`) before each piece, so that its events sound at the frame they fall
// due on rather than at the next buffer.
void AudioClockRender(AudioClock* clock, MidiSequencer* seq, float* out, int frames,
                      void (*render)(float* interleavedStereo, int frames));
