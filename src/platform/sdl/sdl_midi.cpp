// Real machine: the MIDI stream's sequencer thread and the synthesiser it plays (FluidSynth with
// a SoundFont, else the built-in one), rendered by the audio device's callback beside the effects.
#include "platform/sdl/sdl_midi.h"

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "platform/fallback_synth.h"
#include "platform/midi_stream.h"
#include "platform/midi_thread.h"
#include "platform/platform.h"
#include "platform/resources_common.h"
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
constexpr double SYNTH_GAIN = 0.45;  // the library's 0.2 leaves the songs far below the effects
constexpr int32_t DEFAULT_RATE = 44100;

// The stream and its thread live until the process ends: made once and never destroyed, so that
// an exit while a song plays cannot pull them from under the running thread.
MidiThread& Stream = *new MidiThread;
MidiSequencer* const Seq = &Stream.seq;

// The synthesiser, published once its SoundFont has loaded; null until then, and for good when
// there is no SoundFont.
std::atomic<fluid_synth_t*> Synth{nullptr};
bool SynthStarted = false;

// Set once the built-in synthesiser stands in for a missing or broken SoundFont. It is not
// thread-safe, so its messages and its rendering take turns under FallbackLock.
std::atomic<bool> FallbackReady{false};
std::mutex& FallbackLock = *new std::mutex;
// The built-in synthesiser's share of the mix: brought up to about the SoundFont's loudness.
constexpr float FALLBACK_LEVEL = 1.3f;

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

// One message to whichever synthesiser is ready, or nowhere while neither is.
void Deliver(uint32_t message) {
  if (fluid_synth_t* synth = Synth.load(std::memory_order_acquire)) {
    SynthShortMessage(synth, message);
  } else if (FallbackReady.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> g(FallbackLock);
    FallbackSynthMessage(message);
  }
}

void ApplyEarly() {
  Early.applied = true;
  for (uint32_t ch = 0; ch < 16; ++ch) {
    const ChannelState& c = Early.channel[ch];
    if (c.program >= 0) Deliver(0xC0 | ch | static_cast<uint32_t>(c.program) << 8);
    if (c.bend >= 0) {
      Deliver(0xE0 | ch | static_cast<uint32_t>(c.bend & 0x7F) << 8 |
              static_cast<uint32_t>(c.bend >> 7) << 16);
    }
    for (uint32_t cc = 0; cc < 128; ++cc) {
      if (c.controller[cc] >= 0)
        Deliver(0xB0 | ch | cc << 8 | static_cast<uint32_t>(c.controller[cc]) << 16);
    }
  }
}

void SendToSynth(void*, uint32_t message) {
  const bool ready = Synth.load(std::memory_order_acquire) != nullptr ||
                     FallbackReady.load(std::memory_order_acquire);
  if (!ready) {
    RememberEarly(message);
    return;
  }
  if (!Early.applied) ApplyEarly();
  Deliver(message);
}

// The music's part of every audio callback: the device's buffer comes zeroed.
void RenderMusic(float* interleavedStereo, int frames, void*) {
  if (fluid_synth_t* synth = Synth.load(std::memory_order_acquire)) {
    fluid_synth_write_float(synth, frames, interleavedStereo, 0, 2, interleavedStereo, 1, 2);
  } else if (FallbackReady.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> g(FallbackLock);
    FallbackSynthRender(interleavedStereo, frames);
    for (int i = 0; i < frames * 2; ++i) interleavedStereo[i] *= FALLBACK_LEVEL;
  }
}

// The songs are never silent: without a usable SoundFont they play on the built-in synthesiser.
void StartFallback(int rate, const std::string& why) {
  PlatformNotice(("music: " + why + ", so the songs play on the built-in synthesiser\n").c_str());
  {
    std::lock_guard<std::mutex> g(FallbackLock);
    if (!FallbackSynthInit(rate)) return;
  }
  FallbackReady.store(true, std::memory_order_release);
}

const char* FindSoundFont() {
  for (const char* path : SoundFontSearch) {
    if (FileExists(path)) return path;
  }
  return nullptr;
}

// Set on the thread that loads the SoundFont: what the libraries say about a font that fails is
// summed up in the one line of StartFallback, and shown in full with the diagnostics.
thread_local bool LoadingFont = false;

// Loads the SoundFont on a thread of its own: a large one takes seconds, and the game's first
// frames need not wait for music that starts scenes later. The synthesiser is made once and kept.
void LoadSynth(std::string font, int rate) {
  LoadingFont = true;
  fluid_settings_t* settings = new_fluid_settings();
  SynthApplySettings(settings, rate);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (synth == nullptr || fluid_synth_sfload(synth, font.c_str(), 1) == FLUID_FAILED) {
    if (synth != nullptr) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    StartFallback(rate, "the SoundFont " + font + " could not be loaded (-v tells why)");
    return;
  }
  Synth.store(synth, std::memory_order_release);
}

// One line of the synthesiser's own log (or of the libraries under it) in the game's log:
// errors and warnings always, the rest only when the player asks for the diagnostics.
void LogLine(bool always, const char* source, const char* message) {
  const std::string line = std::string("music: ") + source + ": " + message + "\n";
  if (always && !LoadingFont) {
    PlatformNotice(line.c_str());
  } else {
    PlatformDebugOutput(line.c_str());
  }
}

void RouteFluidLog(int level, const char* message, void*) {
  LogLine(level <= FLUID_WARN, "FluidSynth", message);
}

void RouteGlibLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
  const bool always =
      (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) != 0;
  LogLine(always, domain != nullptr ? domain : "GLib", message);
}

void RouteLogs() {
  for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, RouteFluidLog, nullptr);
  g_log_set_default_handler(RouteGlibLog, nullptr);
}

void StartSynth() {
  if (SynthStarted) return;
  SynthStarted = true;
  RouteLogs();
  SdlAudioSetMusicSource(RenderMusic, nullptr);
  const int rate = SdlAudioRate() > 0 ? SdlAudioRate() : DEFAULT_RATE;
  const char* font = SdlSettings.soundFontPath;
  if (font != nullptr && !FileExists(font)) {
    StartFallback(rate, std::string("the SoundFont ") + font + " cannot be opened");
    return;
  }
  if (font == nullptr) font = FindSoundFont();
  if (font == nullptr) {
    StartFallback(rate,
                  "no General MIDI SoundFont is installed (for the proper sound: sudo apt-get "
                  "install timgm6mb-soundfont, or start with --soundfont PATH)");
    return;
  }
  std::thread(LoadSynth, std::string(font), rate).detach();
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
  return MidiThreadOpen(&Stream, MidiSink{SendToSynth, nullptr}, callback, instance);
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  return MidiSeqSetTimeDivision(Seq, ticksPerQuarter);
}

bool PlatformMidiPrepare(MIDIHDR* header) { return MidiSeqPrepare(Seq, header); }

bool PlatformMidiUnprepare(MIDIHDR* header) { return MidiSeqUnprepare(Seq, header); }

bool PlatformMidiOut(MIDIHDR* header) { return MidiThreadOut(&Stream, header); }

bool PlatformMidiRestart() { return MidiThreadRestart(&Stream); }

bool PlatformMidiStop() { return MidiSeqStop(Seq); }

bool PlatformMidiReset() { return MidiSeqReset(Seq); }

void SdlMidiPause(bool paused) { MidiThreadPause(&Stream, paused); }

bool PlatformMidiClose() { return MidiThreadClose(&Stream); }
