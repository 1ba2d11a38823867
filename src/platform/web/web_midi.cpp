// Web machine: the MIDI stream played by the built-in synthesiser, its sequencer stepped from the
// audio callback on the audio's own clock (a browser page has no thread to spare for it).
#include <algorithm>
#include <cstdint>

#include "platform/audio_clock.h"
#include "platform/fallback_synth.h"
#include "platform/midi_stream.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"

namespace {

constexpr int32_t DEFAULT_RATE = 44100;
// The built-in synthesiser's share of the mix, as on the desktop.
constexpr float FALLBACK_LEVEL = 1.3f;

MidiSequencer& Seq = *new MidiSequencer;  // never destroyed: the callback may outlive an exit
bool SynthStarted = false;
bool SynthReady = false;
AudioClock Clock;

uint64_t AudioMicros() { return AudioClockMicros(&Clock); }

void SendToSynth(void*, uint32_t message) {
  if (SynthReady) FallbackSynthMessage(message);
}

// The music's part of every audio callback: events fall due between the chunks it renders.
void RenderMusic(float* interleavedStereo, int frames, void*) {
  if (!SynthReady) return;
  AudioClockRender(&Clock, &Seq, interleavedStereo, frames, FallbackSynthRender);
  for (int i = 0; i < frames * 2; ++i) interleavedStereo[i] *= FALLBACK_LEVEL;
}

void StartSynth() {
  if (SynthStarted) return;
  SynthStarted = true;
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : DEFAULT_RATE;
  AudioClockStart(&Clock, rate);
  SynthReady = FallbackSynthInit(rate);
  SdlAudioSetMusicSource(RenderMusic, nullptr);
}

}  // namespace

bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance) {
  StartSynth();
  return MidiSeqOpen(&Seq, AudioMicros, MidiSink{SendToSynth, nullptr}, callback, instance);
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  return MidiSeqSetTimeDivision(&Seq, ticksPerQuarter);
}

bool PlatformMidiPrepare(MIDIHDR* header) { return MidiSeqPrepare(&Seq, header); }

bool PlatformMidiUnprepare(MIDIHDR* header) { return MidiSeqUnprepare(&Seq, header); }

bool PlatformMidiOut(MIDIHDR* header) { return MidiSeqOut(&Seq, header); }

bool PlatformMidiRestart() { return MidiSeqRestart(&Seq); }

bool PlatformMidiStop() { return MidiSeqStop(&Seq); }

bool PlatformMidiReset() { return MidiSeqReset(&Seq); }

bool PlatformMidiClose() { return MidiSeqClose(&Seq); }

void SdlMidiPause(bool paused) { MidiSeqPause(&Seq, paused); }
