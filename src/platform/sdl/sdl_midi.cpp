// Real machine: the MIDI stream's sequencer thread and the FluidSynth synthesiser it plays,
// rendered by the audio device's callback beside the effects.
#include "platform/sdl/sdl_midi.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>
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
constexpr double SYNTH_GAIN = 0.3;  // above the library's 0.2; the full GM fonts clip much above it
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

// The synthesiser, published once its SoundFont has loaded; null until then, and for good when
// there is no SoundFont: the stream runs all the same, silent.
std::atomic<fluid_synth_t*> Synth{nullptr};
bool SynthStarted = false;

// What the channels were told before the synthesiser was ready: the sequencer's messages keep
// coming while a large SoundFont loads, and its programs and controllers must not be lost.
// Touched only under the sequencer's lock, like every sink call.
struct ChannelState {
  int16_t program = -1;
  int16_t bend = -1;
  int16_t controller[128];
};
struct EarlyState {
  ChannelState channel[16];
  bool applied = false;
  EarlyState() {
    for (ChannelState& c : channel) std::fill(std::begin(c.controller), std::end(c.controller), -1);
  }
};
EarlyState& Early = *new EarlyState;

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

void RememberEarly(uint32_t message) {
  ChannelState& c = Early.channel[message & 0x0F];
  const int16_t data1 = static_cast<int16_t>((message >> 8) & 0x7F);
  const int16_t data2 = static_cast<int16_t>((message >> 16) & 0x7F);
  switch (message & 0xF0) {
    case 0xB0:
      c.controller[data1] = data2;
      break;
    case 0xC0:
      c.program = data1;
      break;
    case 0xE0:
      c.bend = static_cast<int16_t>(data1 | data2 << 7);
      break;
    default:
      break;  // notes before the synthesiser is ready are not heard
  }
}

void ApplyEarly(fluid_synth_t* synth) {
  Early.applied = true;
  for (int ch = 0; ch < 16; ++ch) {
    const ChannelState& c = Early.channel[ch];
    if (c.program >= 0) fluid_synth_program_change(synth, ch, c.program);
    if (c.bend >= 0) fluid_synth_pitch_bend(synth, ch, c.bend);
    for (int cc = 0; cc < 128; ++cc) {
      if (c.controller[cc] >= 0) fluid_synth_cc(synth, ch, cc, c.controller[cc]);
    }
  }
}

void SendToSynth(void*, uint32_t message) {
  fluid_synth_t* synth = Synth.load(std::memory_order_acquire);
  if (synth == nullptr) {
    RememberEarly(message);
    return;
  }
  if (!Early.applied) ApplyEarly(synth);
  SynthShortMessage(synth, message);
}

// The music's part of every audio callback: the device's buffer comes zeroed.
void RenderMusic(float* interleavedStereo, int frames, void*) {
  fluid_synth_t* synth = Synth.load(std::memory_order_acquire);
  if (synth != nullptr) {
    fluid_synth_write_float(synth, frames, interleavedStereo, 0, 2, interleavedStereo, 1, 2);
  }
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

// Loads the SoundFont on a thread of its own: a large one takes seconds, and the game's first
// frames need not wait for music that starts scenes later. The synthesiser is made once and kept.
void LoadSynth(std::string font, int rate) {
  fluid_settings_t* settings = new_fluid_settings();
  SynthApplySettings(settings, rate);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth == nullptr || fluid_synth_sfload(synth, font.c_str(), 1) == FLUID_FAILED) {
    std::fprintf(stderr,
                 "music: the SoundFont %s could not be loaded, so the music is silent; pass a "
                 "General MIDI SoundFont with --soundfont PATH\n",
                 font.c_str());
    if (synth != nullptr) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return;
  }
  Synth.store(synth, std::memory_order_release);
}

void StartSynth() {
  if (SynthStarted) return;
  SynthStarted = true;
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);  // missing presets and the like
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  const char* font = FindSoundFont();
  if (font == nullptr) {
    std::fprintf(stderr,
                 "music: no General MIDI SoundFont found, so the music is silent; install the "
                 "timgm6mb-soundfont package or start with --soundfont PATH\n");
    return;
  }
  SdlAudioSetMusicSource(RenderMusic, nullptr);
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : FALLBACK_RATE;
  std::thread(LoadSynth, std::string(font), rate).detach();
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
