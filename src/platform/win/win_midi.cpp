// Windows machine: the game's MIDI stream on the system's (the General MIDI synthesiser through
// the MIDI mapper); where no MIDI device opens, the stream sequencer plays the songs on the
// built-in synthesiser, rendered by the audio device's callback beside the effects.
#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/fallback_synth.h"
#include "platform/midi_thread.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/win/win_midi_stream.h"

namespace {

constexpr int32_t DEFAULT_RATE = 44100;
// The built-in synthesiser's share of the mix, as on the other systems.
constexpr float FALLBACK_LEVEL = 1.3f;

// Which of the two plays the stream that is open now.
std::atomic<bool> OnSystem{false};
// A system without a MIDI device is not asked again at every song: the answer will not change
// while the game runs, and each failed open costs the system time (and, under Wine, a crash).
bool SystemRefused = false;

// ---- The built-in synthesiser and the sequencer's thread ----------------------------------
// Made once and never destroyed, so that an exit while a song plays cannot pull them from under
// the running thread.
struct SoftStream {
  MidiThread stream;
  std::mutex synthLock;  // the synthesiser is not thread-safe
  std::atomic<bool> synthReady{false};
  bool synthTried = false;
};
SoftStream& Soft = *new SoftStream;

void SoftMessage(void*, uint32_t message) {
  if (!Soft.synthReady.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> g(Soft.synthLock);
  FallbackSynthMessage(message);
}

void RenderMusic(float* interleavedStereo, int frames, void*) {
  if (!Soft.synthReady.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> g(Soft.synthLock);
  FallbackSynthRender(interleavedStereo, frames);
  for (int i = 0; i < frames * 2; ++i) interleavedStereo[i] *= FALLBACK_LEVEL;
}

void StartSoftSynth() {
  if (Soft.synthTried) return;
  Soft.synthTried = true;
  std::fprintf(stderr,
               "music: no MIDI output device opens, so the songs play on the built-in "
               "synthesiser\n");
  SdlAudioSetMusicSource(RenderMusic, nullptr);
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : DEFAULT_RATE;
  std::lock_guard<std::mutex> g(Soft.synthLock);
  if (FallbackSynthInit(rate)) Soft.synthReady.store(true, std::memory_order_release);
}

bool OpenSoft(PlatformMidiCallback callback, uintptr_t instance) {
  StartSoftSynth();
  return MidiThreadOpen(&Soft.stream, MidiSink{SoftMessage, nullptr}, callback, instance);
}

}  // namespace

bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance) {
  if (!SystemRefused && WinStreamOpen(&WinMidiMapper, callback, instance)) {
    // The system's synthesiser has no volume of the game's own: the notes carry it.
    WinStreamSetVelocityPercent(SdlSettings.musicVolume);
    OnSystem.store(true);
    return true;
  }
  SystemRefused = true;
  OnSystem.store(false);
  return OpenSoft(callback, instance);
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  return OnSystem ? WinStreamSetTimeDivision(ticksPerQuarter)
                  : MidiSeqSetTimeDivision(&Soft.stream.seq, ticksPerQuarter);
}

bool PlatformMidiPrepare(MIDIHDR* header) {
  return OnSystem ? WinStreamPrepare(header) : MidiSeqPrepare(&Soft.stream.seq, header);
}

bool PlatformMidiUnprepare(MIDIHDR* header) {
  return OnSystem ? WinStreamUnprepare(header) : MidiSeqUnprepare(&Soft.stream.seq, header);
}

bool PlatformMidiOut(MIDIHDR* header) {
  return OnSystem ? WinStreamOut(header) : MidiThreadOut(&Soft.stream, header);
}

bool PlatformMidiRestart() {
  return OnSystem ? WinStreamRestart() : MidiThreadRestart(&Soft.stream);
}

void SdlMidiPause(bool paused) {
  if (OnSystem) {
    WinStreamPause(paused);
  } else {
    MidiThreadPause(&Soft.stream, paused);
  }
}

bool PlatformMidiStop() { return OnSystem ? WinStreamStop() : MidiSeqStop(&Soft.stream.seq); }

bool PlatformMidiReset() { return OnSystem ? WinStreamReset() : MidiSeqReset(&Soft.stream.seq); }

bool PlatformMidiClose() { return OnSystem ? WinStreamClose() : MidiThreadClose(&Soft.stream); }
