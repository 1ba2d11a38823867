// Windows machine: the game's MIDI stream on the system's (the General MIDI synthesiser through
// the MIDI mapper); where no MIDI device opens, the stream sequencer plays the songs on the
// built-in synthesiser, rendered by the audio device's callback beside the effects.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/fallback_synth.h"
#include "platform/midi_stream.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
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
  MidiSequencer seq;
  std::thread thread;
  std::mutex wakeLock;  // guards the two flags below
  std::condition_variable wake;
  bool wakeRequested = false;
  bool quitRequested = false;
  std::mutex synthLock;  // the synthesiser is not thread-safe
  std::atomic<bool> synthReady{false};
  bool synthTried = false;
};
SoftStream& Soft = *new SoftStream;

uint64_t SteadyMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

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
  std::fprintf(stderr, "music: no MIDI output device opens, so the songs play on the built-in "
                       "synthesiser\n");
  SdlAudioSetMusicSource(RenderMusic, nullptr);
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : DEFAULT_RATE;
  std::lock_guard<std::mutex> g(Soft.synthLock);
  if (FallbackSynthInit(rate)) Soft.synthReady.store(true, std::memory_order_release);
}

void Kick() {
  std::lock_guard<std::mutex> g(Soft.wakeLock);
  Soft.wakeRequested = true;
  Soft.wake.notify_one();
}

// The sequencer's own thread: plays events as they fall due and hands buffers back.
void SequencerLoop() {
  uint64_t lastHandBackStream = UINT64_MAX;
  for (;;) {
    if (MidiSeqAdvance(&Soft.seq) > 0) {
      // Buffers that take no time would come straight back for ever: give them a millisecond.
      const uint64_t stream = MidiSeqStreamMicros(&Soft.seq);
      if (stream == lastHandBackStream) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      lastHandBackStream = stream;
    }
    const uint64_t due = MidiSeqNextDue(&Soft.seq);
    std::unique_lock<std::mutex> lock(Soft.wakeLock);
    if (Soft.quitRequested) return;
    const auto woken = [] { return Soft.wakeRequested || Soft.quitRequested; };
    if (due == UINT64_MAX) {
      Soft.wake.wait(lock, woken);
    } else {
      const uint64_t now = SteadyMicros();
      if (due > now) {
        const uint64_t wait = std::min(due - now, MIDI_MAX_WAIT_MICROS);
        Soft.wake.wait_for(lock, std::chrono::microseconds(wait), woken);
      }
    }
    Soft.wakeRequested = false;
  }
}

void StopSequencerThread() {
  if (!Soft.thread.joinable()) return;
  {
    std::lock_guard<std::mutex> g(Soft.wakeLock);
    Soft.quitRequested = true;
    Soft.wake.notify_one();
  }
  if (Soft.thread.get_id() == std::this_thread::get_id()) {
    Soft.thread.detach();  // closed from its own callback: it ends once the callback returns
  } else {
    Soft.thread.join();
  }
}

bool OpenSoft(PlatformMidiCallback callback, uintptr_t instance) {
  StartSoftSynth();
  if (!MidiSeqOpen(&Soft.seq, SteadyMicros, MidiSink{SoftMessage, nullptr}, callback, instance)) {
    return false;
  }
  StopSequencerThread();
  {
    std::lock_guard<std::mutex> g(Soft.wakeLock);
    Soft.quitRequested = false;
    Soft.wakeRequested = false;
  }
  Soft.thread = std::thread(SequencerLoop);
  return true;
}

}  // namespace

bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance) {
  if (!SystemRefused && WinStreamOpen(&WinMidiMapper, callback, instance)) {
    OnSystem.store(true);
    return true;
  }
  SystemRefused = true;
  OnSystem.store(false);
  return OpenSoft(callback, instance);
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  return OnSystem ? WinStreamSetTimeDivision(ticksPerQuarter)
                  : MidiSeqSetTimeDivision(&Soft.seq, ticksPerQuarter);
}

bool PlatformMidiPrepare(MIDIHDR* header) {
  return OnSystem ? WinStreamPrepare(header) : MidiSeqPrepare(&Soft.seq, header);
}

bool PlatformMidiUnprepare(MIDIHDR* header) {
  return OnSystem ? WinStreamUnprepare(header) : MidiSeqUnprepare(&Soft.seq, header);
}

bool PlatformMidiOut(MIDIHDR* header) {
  if (OnSystem) return WinStreamOut(header);
  if (!MidiSeqOut(&Soft.seq, header)) return false;
  Kick();
  return true;
}

bool PlatformMidiRestart() {
  if (OnSystem) return WinStreamRestart();
  if (!MidiSeqRestart(&Soft.seq)) return false;
  Kick();
  return true;
}

void SdlMidiPause(bool paused) {
  if (OnSystem) {
    WinStreamPause(paused);
    return;
  }
  MidiSeqPause(&Soft.seq, paused);
  Kick();  // the thread sleeps for good while paused and looks again once resumed
}

bool PlatformMidiStop() { return OnSystem ? WinStreamStop() : MidiSeqStop(&Soft.seq); }

bool PlatformMidiReset() { return OnSystem ? WinStreamReset() : MidiSeqReset(&Soft.seq); }

bool PlatformMidiClose() {
  if (OnSystem) return WinStreamClose();
  if (!MidiSeqClose(&Soft.seq)) return false;
  StopSequencerThread();
  return true;
}
