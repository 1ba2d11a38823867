// Real machine: the MIDI stream's sequencer thread and the FluidSynth synthesiser it plays,
// rendered by the audio device's callback beside the effects.
#include "platform/sdl/sdl_midi.h"

#include <fluidsynth.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/midi_stream.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_settings.h"

namespace {

// General MIDI SoundFonts as Debian's packages install them, best first.
const char* const SoundFontSearch[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};
constexpr double SYNTH_GAIN = 0.5;  // the library's 0.2 is far quieter than the effects
constexpr int32_t FALLBACK_RATE = 44100;

// The stream and its thread live until the process ends: made once and never destroyed, so that
// an exit while a song plays cannot pull them from under the running thread.
struct StreamThread {
  MidiSequencer seq;
  std::thread thread;
  std::mutex wakeLock;  // guards the two flags below
  std::condition_variable wake;
  bool wakeRequested = false;
  bool quitRequested = false;
};
StreamThread& Stream = *new StreamThread;
MidiSequencer* const Seq = &Stream.seq;

fluid_settings_t* SynthSettings = nullptr;
fluid_synth_t* Synth = nullptr;  // stays null without a SoundFont: the stream runs, silent
bool SynthTried = false;

uint64_t SteadyMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void Kick() {
  std::lock_guard<std::mutex> g(Stream.wakeLock);
  Stream.wakeRequested = true;
  Stream.wake.notify_one();
}

void SendToSynth(void*, uint32_t message) {
  if (Synth != nullptr) SynthShortMessage(Synth, message);
}

// The music's part of every audio callback: the device's buffer comes zeroed.
void RenderMusic(float* interleavedStereo, int frames, void*) {
  fluid_synth_write_float(Synth, frames, interleavedStereo, 0, 2, interleavedStereo, 1, 2);
}

const char* FindSoundFont() {
  if (SdlSettings.soundFontPath != nullptr) return SdlSettings.soundFontPath;
  for (const char* path : SoundFontSearch) {
    if (FILE* f = std::fopen(path, "rb")) {
      std::fclose(f);
      return path;
    }
  }
  return nullptr;
}

// Made once, at the first open, and kept: loading a SoundFont takes far longer than a song change.
void StartSynth() {
  if (SynthTried) return;
  SynthTried = true;
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);  // missing presets and the like
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  const char* font = FindSoundFont();
  if (font == nullptr) {
    std::fprintf(stderr,
                 "music: no General MIDI SoundFont found, so the music is silent; install the "
                 "timgm6mb-soundfont package or start with --soundfont PATH\n");
    return;
  }
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : FALLBACK_RATE;
  SynthSettings = new_fluid_settings();
  SynthApplySettings(SynthSettings, rate);
  fluid_synth_t* synth = new_fluid_synth(SynthSettings);
  if (synth == nullptr || fluid_synth_sfload(synth, font, 1) == FLUID_FAILED) {
    std::fprintf(stderr,
                 "music: the SoundFont %s could not be loaded, so the music is silent; pass a "
                 "General MIDI SoundFont with --soundfont PATH\n",
                 font);
    if (synth != nullptr) delete_fluid_synth(synth);
    delete_fluid_settings(SynthSettings);
    SynthSettings = nullptr;
    return;
  }
  Synth = synth;
  SdlAudioSetMusicSource(RenderMusic, nullptr);
}

// The sequencer's own thread: plays events as they fall due and hands buffers back.
void SequencerLoop() {
  uint64_t lastHandBackStream = UINT64_MAX;
  for (;;) {
    const int32_t handed = MidiSeqAdvance(Seq);
    if (handed > 0) {
      // Buffers that take no time would come straight back for ever: give them a millisecond.
      const uint64_t stream = MidiSeqStreamMicros(Seq);
      if (stream == lastHandBackStream) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      lastHandBackStream = stream;
    }
    const uint64_t due = MidiSeqNextDue(Seq);
    std::unique_lock<std::mutex> lock(Stream.wakeLock);
    if (Stream.quitRequested) return;
    const auto woken = [] { return Stream.wakeRequested || Stream.quitRequested; };
    if (due == UINT64_MAX) {
      Stream.wake.wait(lock, woken);
    } else {
      const uint64_t now = SteadyMicros();
      if (due > now) Stream.wake.wait_for(lock, std::chrono::microseconds(due - now), woken);
    }
    Stream.wakeRequested = false;
  }
}

void StopSequencerThread() {
  if (!Stream.thread.joinable()) return;
  {
    std::lock_guard<std::mutex> g(Stream.wakeLock);
    Stream.quitRequested = true;
    Stream.wake.notify_one();
  }
  if (Stream.thread.get_id() == std::this_thread::get_id()) {
    Stream.thread.detach();  // closed from its own callback: it ends once the callback returns
  } else {
    Stream.thread.join();
  }
}

}  // namespace

void SynthApplySettings(fluid_settings_t* settings, int rate) {
  fluid_settings_setnum(settings, "synth.sample-rate", rate);
  fluid_settings_setnum(settings, "synth.gain", SYNTH_GAIN);
  fluid_settings_setint(settings, "synth.reverb.active", 1);
  fluid_settings_setnum(settings, "synth.reverb.room-size", 0.5);
  fluid_settings_setnum(settings, "synth.reverb.level", 0.5);
  fluid_settings_setint(settings, "synth.chorus.active", 1);
  fluid_settings_setnum(settings, "synth.chorus.level", 1.2);
}

void SynthShortMessage(fluid_synth_t* synth, uint32_t message) {
  const int channel = static_cast<int>(message & 0x0F);
  const int data1 = static_cast<int>((message >> 8) & 0x7F);
  const int data2 = static_cast<int>((message >> 16) & 0x7F);
  switch (message & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, data1);
      break;
    case 0x90:
      if (data2 == 0) {
        fluid_synth_noteoff(synth, channel, data1);
      } else {
        fluid_synth_noteon(synth, channel, data1, data2);
      }
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, data1, data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, data1, data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7);
      break;
    default:
      break;
  }
}

bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance) {
  StartSynth();
  if (!MidiSeqOpen(Seq, SteadyMicros, MidiSink{SendToSynth, nullptr}, callback, instance)) {
    return false;
  }
  StopSequencerThread();
  {
    std::lock_guard<std::mutex> g(Stream.wakeLock);
    Stream.quitRequested = false;
    Stream.wakeRequested = false;
  }
  Stream.thread = std::thread(SequencerLoop);
  return true;
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  return MidiSeqSetTimeDivision(Seq, ticksPerQuarter);
}

bool PlatformMidiPrepare(MIDIHDR* header) { return MidiSeqPrepare(Seq, header); }

bool PlatformMidiUnprepare(MIDIHDR* header) { return MidiSeqUnprepare(Seq, header); }

bool PlatformMidiOut(MIDIHDR* header) {
  if (!MidiSeqOut(Seq, header)) return false;
  Kick();
  return true;
}

bool PlatformMidiRestart() {
  if (!MidiSeqRestart(Seq)) return false;
  Kick();
  return true;
}

bool PlatformMidiStop() { return MidiSeqStop(Seq); }

bool PlatformMidiReset() { return MidiSeqReset(Seq); }

bool PlatformMidiClose() {
  if (!MidiSeqClose(Seq)) return false;
  StopSequencerThread();
  return true;
}
