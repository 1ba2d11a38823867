// The synthesiser side of the real machine's MIDI stream, shared with the music benchmarks.
#pragma once
#include <fluidsynth.h>

#include <cstdint>

// Gain, reverb and chorus as the game's music uses them, at `rate` frames a second.
void SynthApplySettings(fluid_settings_t* settings, int rate);
// One channel message (status | data1 << 8 | data2 << 16) as a synthesiser call.
void SynthShortMessage(fluid_synth_t* synth, uint32_t message);
