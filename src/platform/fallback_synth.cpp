// The built-in synthesiser: voice pool, per-family timbres, drum kit, channel state and rendering.
#include "platform/fallback_synth.h"

#include <algorithm>
#include <cmath>

#include "platform/midi_controllers.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr int SINE_SIZE = 4096;
constexpr int CHUNK = 64;               // frames rendered between control updates
constexpr float SILENCE = 1.0e-4f;      // -80 dB: a voice this quiet is finished
constexpr float MASTER_GAIN = 0.3f;     // one note at full level peaks about here
constexpr float RESET_RELEASE = 0.01f;  // seconds: quick fade rather than a click
constexpr int DRUM_CHANNEL = 9;

// How a melodic family makes its sound.
enum class Wave : uint8_t {
  TriSaw,      // piano
  FmBell,      // chromatic percussion, synth effects, percussive
  Drawbar,     // organ
  Pulse,       // plucked guitar, ethnic
  Saw,         // bass, brass
  DetunedSaw,  // strings, ensemble
  Square,      // reed
  Triangle,    // pipe
  SquareSaw,   // synth lead
  DetunedTri,  // synth pad
  NoiseTone,   // sound effects
};

struct Timbre {
  Wave wave;
  float attack, decay, sustain, release;  // seconds (decay and release as time constants), level
  float cutoff, cutoffBright;  // low-pass at cutoff x pitch, plus cutoffBright x pitch fading out
  float brightTime;            // seconds for that extra brightness to fade
  float param;                 // pulse width, FM ratio or detune in cents
  float gain;
};

// One row per family (program / 8). Cutoff 0 leaves the oscillator unfiltered.
constexpr Timbre TIMBRES[16] = {
    {Wave::TriSaw, 0.002f, 1.2f, 0.0f, 0.15f, 2.0f, 8.0f, 0.4f, 0.0f, 0.9f},
    {Wave::FmBell, 0.001f, 0.8f, 0.0f, 0.3f, 0.0f, 0.0f, 0.6f, 3.5f, 0.8f},
    {Wave::Drawbar, 0.005f, 0.1f, 1.0f, 0.04f, 0.0f, 0.0f, 1.0f, 0.0f, 0.9f},
    {Wave::Pulse, 0.001f, 0.7f, 0.0f, 0.1f, 2.0f, 10.0f, 0.3f, 0.25f, 0.5f},
    {Wave::Saw, 0.003f, 0.4f, 0.5f, 0.08f, 2.0f, 5.0f, 0.15f, 0.0f, 1.0f},
    {Wave::DetunedSaw, 0.12f, 0.3f, 0.85f, 0.3f, 5.0f, 0.0f, 1.0f, 8.0f, 1.0f},
    {Wave::DetunedSaw, 0.15f, 0.4f, 0.9f, 0.35f, 3.0f, 0.0f, 1.0f, 12.0f, 1.0f},
    {Wave::Saw, 0.03f, 0.25f, 0.75f, 0.1f, 2.5f, 6.0f, 0.2f, 0.0f, 0.8f},
    {Wave::Square, 0.02f, 0.2f, 0.9f, 0.06f, 4.0f, 0.0f, 1.0f, 0.5f, 0.6f},
    {Wave::Triangle, 0.04f, 0.2f, 1.0f, 0.08f, 0.0f, 0.0f, 1.0f, 0.0f, 0.9f},
    {Wave::SquareSaw, 0.005f, 0.3f, 0.9f, 0.05f, 6.0f, 0.0f, 1.0f, 0.0f, 0.6f},
    {Wave::DetunedTri, 0.3f, 0.5f, 1.0f, 0.6f, 0.0f, 0.0f, 1.0f, 10.0f, 0.8f},
    {Wave::FmBell, 0.1f, 0.6f, 0.8f, 0.8f, 0.0f, 0.0f, 2.0f, 2.0f, 0.7f},
    {Wave::Pulse, 0.001f, 0.5f, 0.0f, 0.1f, 3.0f, 12.0f, 0.2f, 0.5f, 0.7f},
    {Wave::FmBell, 0.001f, 0.25f, 0.0f, 0.1f, 0.0f, 0.0f, 0.1f, 1.4f, 0.9f},
    {Wave::NoiseTone, 0.01f, 0.5f, 0.8f, 0.2f, 0.0f, 0.0f, 1.0f, 0.0f, 0.8f},
};

// A drum sound: a sine sweeping from toneHz towards toneEndHz plus band-limited noise, each with
// its own decay (time constants in seconds). Choke: sounds of the same group cut each other.
struct DrumSpec {
  float toneHz, toneEndHz, sweep, toneLevel, toneDecay;
  float noiseLevel, noiseLowHz, noiseHighHz, noiseDecay;
  uint8_t choke;
};

constexpr DrumSpec KICK = {150.0f, 45.0f, 0.04f, 1.0f, 0.25f, 0.15f, 3000.0f, 0.0f, 0.01f, 0};
constexpr DrumSpec SNARE = {190.0f, 160.0f, 0.05f, 0.5f, 0.06f, 0.8f, 9000.0f, 500.0f, 0.12f, 0};
constexpr DrumSpec STICK = {800.0f, 700.0f, 0.02f, 0.6f, 0.02f, 0.4f, 8000.0f, 1500.0f, 0.015f, 0};
constexpr DrumSpec CLAP = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.9f, 6000.0f, 900.0f, 0.08f, 0};
constexpr DrumSpec CLOSED_HAT = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 18000.0f, 7000.0f, 0.03f, 1};
constexpr DrumSpec PEDAL_HAT = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.9f, 16000.0f, 6000.0f, 0.05f, 1};
constexpr DrumSpec OPEN_HAT = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.9f, 18000.0f, 6000.0f, 0.3f, 1};
constexpr DrumSpec CRASH = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.6f, 16000.0f, 3000.0f, 0.8f, 0};
constexpr DrumSpec RIDE = {2400.0f, 2400.0f, 1.0f, 0.15f, 0.3f, 0.35f, 14000.0f, 5000.0f, 0.6f, 0};
constexpr DrumSpec BELL = {2000.0f, 2000.0f, 1.0f, 0.5f, 0.4f, 0.15f, 12000.0f, 4000.0f, 0.2f, 0};
constexpr DrumSpec SHAKER = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.4f, 15000.0f, 5000.0f, 0.04f, 0};
constexpr DrumSpec SCRAPE = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.4f, 5000.0f, 1500.0f, 0.15f, 0};
constexpr DrumSpec WHISTLE = {2300.0f, 2300.0f, 1.0f,    0.4f, 0.15f,
                              0.05f,   4000.0f, 1500.0f, 0.1f, 2};
constexpr DrumSpec OTHER = {400.0f, 300.0f, 0.05f, 0.5f, 0.1f, 0.3f, 8000.0f, 800.0f, 0.05f, 0};

// A tuned membrane or block: a short sine sweep with a touch of noise.
DrumSpec Tuned(float hz, float decay) {
  return {hz * 1.5f, hz, 0.03f, 0.9f, decay, 0.1f, 5000.0f, 200.0f, 0.01f, 0};
}

// Toms 41..50 span about an octave and a half.
DrumSpec Tom(int key) { return Tuned(80.0f * std::pow(2.0f, (key - 41) / 7.0f), 0.2f); }

// What each key of the drum channel plays, from FIRST_DRUM_KEY on: a fixed sound, or (fixed
// null) a tom tuned by its key when hz is 0 and a tuned block of hz and decay otherwise.
struct DrumKey {
  const DrumSpec* fixed;
  float hz, decay;
};
constexpr DrumKey Fixed(const DrumSpec& spec) { return {&spec, 0.0f, 0.0f}; }
constexpr DrumKey Block(float hz, float decay) { return {nullptr, hz, decay}; }
constexpr DrumKey TOM = {nullptr, 0.0f, 0.0f};
constexpr int FIRST_DRUM_KEY = 35;
// Three keys a row, the first key of each row at its end.
// clang-format off
constexpr DrumKey DRUM_KEYS[] = {
    Fixed(KICK),          Fixed(KICK),          Fixed(STICK),         // 35
    Fixed(SNARE),         Fixed(CLAP),          Fixed(SNARE),         // 38
    TOM,                   Fixed(CLOSED_HAT),     TOM,                   // 41
    Fixed(PEDAL_HAT),      TOM,                   Fixed(OPEN_HAT),       // 44
    TOM,                   TOM,                   Fixed(CRASH),         // 47
    TOM,                   Fixed(RIDE),          Fixed(CRASH),         // 50
    Fixed(BELL),          Fixed(SHAKER),        Fixed(CRASH),         // 53
    Block(560.0f, 0.08f),  Fixed(CRASH),         Fixed(SCRAPE),        // 56
    Fixed(RIDE),          Block(400.0f, 0.08f),  Block(300.0f, 0.1f),   // 59
    Block(330.0f, 0.05f),  Block(260.0f, 0.15f),  Block(200.0f, 0.15f),  // 62
    Block(700.0f, 0.1f),   Block(500.0f, 0.1f),   Block(900.0f, 0.12f),  // 65
    Block(650.0f, 0.12f),  Fixed(SHAKER),        Fixed(SHAKER),        // 68
    Fixed(WHISTLE),       Fixed(WHISTLE),       Fixed(SCRAPE),        // 71
    Fixed(SCRAPE),        Block(2500.0f, 0.03f), Block(1200.0f, 0.04f), // 74
    Block(900.0f, 0.04f),  Block(600.0f, 0.15f),  Block(450.0f, 0.15f),  // 77
    Block(2600.0f, 0.05f), Block(2600.0f, 0.6f),                         // 80
};
// clang-format on
constexpr int DRUM_KEY_COUNT = sizeof DRUM_KEYS / sizeof DRUM_KEYS[0];

DrumSpec DrumFor(int key) {
  if (key < FIRST_DRUM_KEY || key >= FIRST_DRUM_KEY + DRUM_KEY_COUNT) return OTHER;
  const DrumKey& d = DRUM_KEYS[key - FIRST_DRUM_KEY];
  if (d.fixed != nullptr) return *d.fixed;
  return d.hz == 0.0f ? Tom(key) : Tuned(d.hz, d.decay);
}

enum class Stage : uint8_t { Off, Attack, Decay, Release };

struct Voice {
  Stage stage;
  bool drum, held;  // held: note off came while the sustain pedal was down
  bool fresh;       // not rendered yet: starts at its gain instead of ramping to it
  uint8_t channel, note, velocity, choke;
  uint32_t age;  // start order, for stealing
  Wave wave;
  float param, detune;  // detune: frequency ratio of the side oscillators
  float level, attackStep, decayCoef, sustain, releaseCoef;
  float bright, brightCoef, cutoff, cutoffBright;
  float phase[3], lp, hpLp, noiseLp;
  uint32_t noise;
  float gainL, gainR, timbreGain;
  // Drums.
  float toneHz, toneEndHz, sweepCoef, toneLevel, toneCoef, noiseLevel, noiseCoef;
  float lowCoef, highCoef;
};

struct Channel {
  uint8_t program, volume, expression, pan;
  bool sustain;
  int32_t bend;  // -8192..8191
};

struct SynthState {
  int32_t rate;
  uint32_t nextAge;
  Channel channels[16];
  Voice voices[FALLBACK_SYNTH_VOICES];
  float sine[SINE_SIZE + 1];
  float scratch[CHUNK * 2];
};

SynthState g = {};

float Sine(float phase) {  // phase in turns, any sign
  float p = phase - std::floor(phase);
  float x = p * SINE_SIZE;
  int i = std::min(static_cast<int>(x), SINE_SIZE - 1);  // p may round up to 1
  return g.sine[i] + (g.sine[i + 1] - g.sine[i]) * (x - static_cast<float>(i));
}

float Noise(Voice& v) {
  v.noise ^= v.noise << 13;
  v.noise ^= v.noise >> 17;
  v.noise ^= v.noise << 5;
  return static_cast<float>(v.noise) * (2.0f / 4294967296.0f) - 1.0f;
}

// Correction that rounds off a jump of a naive saw or pulse (phase t, increment dt).
float PolyBlep(float t, float dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0f;
  }
  if (t > 1.0f - dt) {
    t = (t - 1.0f) / dt;
    return t * t + t + t + 1.0f;
  }
  return 0.0f;
}

float Saw(float t, float dt) { return 2.0f * t - 1.0f - PolyBlep(t, dt); }

float Pulse(float t, float dt, float width) {
  float u = t + 1.0f - width;
  u -= std::floor(u);
  return Saw(t, dt) - Saw(u, dt) + 2.0f * width - 1.0f;
}

float Triangle(float t) { return 4.0f * std::fabs(t - 0.5f) - 1.0f; }

float SecondsCoef(float seconds) {  // per-sample factor of an exponential with this time constant
  return std::exp(-1.0f / (seconds * static_cast<float>(g.rate)));
}

float LowPassCoef(float hz) {
  float a = 1.0f - std::exp(-2.0f * PI * hz / static_cast<float>(g.rate));
  return std::min(a, 1.0f);
}

float NoteHz(const Voice& v) {
  float semis = static_cast<float>(v.note - 69) +
                2.0f * static_cast<float>(g.channels[v.channel].bend) / 8192.0f;
  return 440.0f * std::exp2(semis / 12.0f);
}

float Level127(uint8_t value) {  // the usual squared curve of MIDI levels
  float x = static_cast<float>(value) / 127.0f;
  return x * x;
}

Voice& FreeVoice() {
  Voice* best = nullptr;
  for (Voice& v : g.voices) {
    if (v.stage == Stage::Off) return v;
    bool better =
        best == nullptr || (v.stage == Stage::Release) > (best->stage == Stage::Release) ||
        ((v.stage == Stage::Release) == (best->stage == Stage::Release) && v.age < best->age);
    if (better) best = &v;
  }
  return *best;
}

void Release(Voice& v, float coef) {
  v.stage = Stage::Release;
  v.held = false;
  v.releaseCoef = std::min(v.releaseCoef, coef);
}

void StartMelodic(Voice& v, uint8_t program) {
  const Timbre& t = TIMBRES[program / 8];
  v.wave = t.wave;
  v.param = t.param;
  v.detune = std::exp2(t.param / 1200.0f);
  v.attackStep = 1.0f / (t.attack * static_cast<float>(g.rate));
  v.decayCoef = SecondsCoef(t.decay);
  v.sustain = t.sustain;
  v.releaseCoef = SecondsCoef(t.release);
  v.bright = 1.0f;
  v.brightCoef = SecondsCoef(t.brightTime);
  v.cutoff = t.cutoff;
  v.cutoffBright = t.cutoffBright;
  v.timbreGain = t.gain;
  v.level = 0.0f;
  v.stage = Stage::Attack;
}

void StartDrum(Voice& v, int key) {
  DrumSpec d = DrumFor(key);
  v.toneHz = d.toneHz;
  v.toneEndHz = d.toneEndHz;
  v.sweepCoef = SecondsCoef(d.sweep);
  v.toneLevel = d.toneLevel;
  v.toneCoef = SecondsCoef(d.toneDecay);
  v.noiseLevel = d.noiseLevel;
  v.noiseCoef = SecondsCoef(d.noiseDecay);
  v.lowCoef = LowPassCoef(std::min(d.noiseLowHz, 0.45f * static_cast<float>(g.rate)));
  v.highCoef = d.noiseHighHz > 0.0f ? LowPassCoef(d.noiseHighHz) : 0.0f;
  v.choke = d.choke;
  v.timbreGain = 1.0f;
  v.releaseCoef = 1.0f;
  v.level = 1.0f;
  v.stage = Stage::Decay;
}

void NoteOn(int ch, int key, int velocity) {
  bool drum = ch == DRUM_CHANNEL;
  uint8_t choke = drum ? DrumFor(key).choke : 0;
  for (Voice& v : g.voices) {  // a repeated key, or a choked cymbal, gives way quickly
    if (v.stage == Stage::Off || v.channel != ch) continue;
    if (v.note == key || (choke != 0 && v.choke == choke)) Release(v, SecondsCoef(RESET_RELEASE));
  }
  Voice& v = FreeVoice();
  v = Voice{};
  v.channel = static_cast<uint8_t>(ch);
  v.note = static_cast<uint8_t>(key);
  v.velocity = static_cast<uint8_t>(velocity);
  v.drum = drum;
  v.age = g.nextAge++;
  v.noise = 0x9E3779B9u ^ (v.age * 2654435761u) ^ static_cast<uint32_t>(key);
  v.fresh = true;
  v.phase[1] = Noise(v) * 0.5f + 0.5f;  // side oscillators start apart so they do not cancel
  v.phase[2] = Noise(v) * 0.5f + 0.5f;
  if (drum) {
    StartDrum(v, key);
  } else {
    StartMelodic(v, g.channels[ch].program);
  }
}

void NoteOff(int ch, int key) {
  if (ch == DRUM_CHANNEL) return;  // drums ring out on their own
  for (Voice& v : g.voices) {
    if (v.stage == Stage::Off || v.stage == Stage::Release || v.channel != ch || v.note != key) {
      continue;
    }
    if (g.channels[ch].sustain) {
      v.held = true;
    } else {
      Release(v, v.releaseCoef);
    }
  }
}

void ReleaseChannel(int ch, float coef) {
  for (Voice& v : g.voices) {
    if (v.stage != Stage::Off && v.channel == ch) Release(v, coef);
  }
}

void SetSustain(int ch, bool down) {
  g.channels[ch].sustain = down;
  if (down) return;
  for (Voice& v : g.voices) {
    if (v.stage != Stage::Off && v.channel == ch && v.held) Release(v, v.releaseCoef);
  }
}

void ControlChange(int ch, int cc, int value) {
  Channel& c = g.channels[ch];
  switch (cc) {
    case CC_VOLUME:
      c.volume = static_cast<uint8_t>(value);
      break;
    case CC_PAN:
      c.pan = static_cast<uint8_t>(value);
      break;
    case CC_EXPRESSION:
      c.expression = static_cast<uint8_t>(value);
      break;
    case CC_SUSTAIN:
      SetSustain(ch, value >= 64);
      break;
    case CC_ALL_SOUND_OFF:  // no release tail
      for (Voice& v : g.voices) {
        if (v.channel == ch) v.stage = Stage::Off;
      }
      break;
    case CC_RESET_CONTROLLERS:
      c.expression = 127;
      c.bend = 0;
      SetSustain(ch, false);
      break;
    case CC_ALL_NOTES_OFF:  // held ones too, so that no note is left hanging
      for (Voice& v : g.voices) {
        if (v.stage != Stage::Off && v.channel == ch && !v.drum) Release(v, v.releaseCoef);
      }
      break;
    default:
      break;
  }
}

void DefaultChannels() {
  for (Channel& c : g.channels) c = {0, 100, 127, 64, false, 0};
}

// Advances the envelope one sample; returns the level.
float Envelope(Voice& v) {
  switch (v.stage) {
    case Stage::Attack:
      v.level += v.attackStep;
      if (v.level >= 1.0f) {
        v.level = 1.0f;
        v.stage = Stage::Decay;
      }
      break;
    case Stage::Decay:
      v.level = v.sustain + (v.level - v.sustain) * v.decayCoef;
      break;
    case Stage::Release:
      v.level *= v.releaseCoef;
      break;
    case Stage::Off:
      break;
  }
  return v.level;
}

float Advance(float& phase, float inc) {
  float t = phase;
  phase += inc;
  if (phase >= 1.0f) phase -= 1.0f;
  return t;
}

float Oscillator(Voice& v, float inc) {
  float t = Advance(v.phase[0], inc);
  switch (v.wave) {
    case Wave::TriSaw:
      return 0.6f * Triangle(t) + 0.4f * Saw(t, inc);
    case Wave::FmBell: {
      float m = Sine(Advance(v.phase[1], inc * v.param));
      return Sine(t + (0.3f + 2.0f * v.bright) * 0.25f * m);
    }
    case Wave::Drawbar:
      return 0.55f * Sine(t) + 0.3f * Sine(2.0f * t) + 0.15f * Sine(3.0f * t);
    case Wave::Pulse:
    case Wave::Square:
      return Pulse(t, inc, v.wave == Wave::Square ? 0.5f : v.param);
    case Wave::Saw:
      return Saw(t, inc);
    case Wave::DetunedSaw: {
      float d = v.detune;
      float b = Saw(Advance(v.phase[1], inc * d), inc * d);
      float c = Saw(Advance(v.phase[2], inc / d), inc / d);
      return 0.5f * Saw(t, inc) + 0.3f * (b + c);  // centre leads: the pitch stays firm
    }
    case Wave::Triangle:
      return 0.85f * Triangle(t) + 0.15f * Sine(2.0f * t);
    case Wave::SquareSaw:
      return 0.5f * Pulse(t, inc, 0.5f) + 0.5f * Saw(t, inc);
    case Wave::DetunedTri: {
      float d = v.detune;
      return (Triangle(t) + Triangle(Advance(v.phase[1], inc * d)) +
              Triangle(Advance(v.phase[2], inc / d))) *
             0.36f;
    }
    case Wave::NoiseTone: {
      v.noiseLp += 0.2f * (Noise(v) - v.noiseLp);
      return 0.6f * Sine(t) + 1.2f * v.noiseLp;
    }
  }
  return 0.0f;
}

// Fills one chunk of a melodic voice into the scratch buffer, gains ramping from the last chunk's.
void RenderMelodic(Voice& v, int frames, float gl, float gr) {
  float hz = std::min(NoteHz(v), 0.45f * static_cast<float>(g.rate));
  float inc = hz / static_cast<float>(g.rate);
  float aBase = v.cutoff > 0.0f ? LowPassCoef(v.cutoff * hz) : 1.0f;
  float aTop = v.cutoff > 0.0f ? LowPassCoef((v.cutoff + v.cutoffBright) * hz) : 1.0f;
  float dl = (gl - v.gainL) / static_cast<float>(frames);
  float dr = (gr - v.gainR) / static_cast<float>(frames);
  for (int i = 0; i < frames; ++i) {
    float env = Envelope(v);
    v.bright *= v.brightCoef;
    float s = Oscillator(v, inc);
    v.lp += (aBase + (aTop - aBase) * v.bright) * (s - v.lp);
    s = v.lp * env;
    v.gainL += dl;
    v.gainR += dr;
    g.scratch[2 * i] += s * v.gainL;
    g.scratch[2 * i + 1] += s * v.gainR;
  }
  if ((v.stage == Stage::Release || v.sustain == 0.0f) && v.stage != Stage::Attack &&
      v.level < SILENCE) {
    v.stage = Stage::Off;
  }
}

void RenderDrum(Voice& v, int frames, float gl, float gr) {
  float invRate = 1.0f / static_cast<float>(g.rate);
  float dl = (gl - v.gainL) / static_cast<float>(frames);
  float dr = (gr - v.gainR) / static_cast<float>(frames);
  for (int i = 0; i < frames; ++i) {
    float hz = v.toneHz;
    v.toneHz = v.toneEndHz + (hz - v.toneEndHz) * v.sweepCoef;
    float tone = Sine(Advance(v.phase[0], std::min(hz * invRate, 0.45f))) * v.toneLevel;
    float n = Noise(v);
    v.lp += v.lowCoef * (n - v.lp);
    v.hpLp += v.highCoef * (v.lp - v.hpLp);
    float noise = (v.lp - v.hpLp) * v.noiseLevel;
    v.toneLevel *= v.toneCoef;
    v.noiseLevel *= v.noiseCoef;
    v.level *= v.releaseCoef;  // 1 until a choke or reset fades the drum
    float s = (tone + noise) * v.level;
    v.gainL += dl;
    v.gainR += dr;
    g.scratch[2 * i] += s * v.gainL;
    g.scratch[2 * i + 1] += s * v.gainR;
  }
  if ((v.toneLevel < SILENCE && v.noiseLevel < SILENCE) || v.level < SILENCE) {
    v.stage = Stage::Off;
  }
}

// The channel's current gains for a voice, constant-power pan.
void TargetGains(const Voice& v, float& gl, float& gr) {
  const Channel& c = g.channels[v.channel];
  float amp = MASTER_GAIN * v.timbreGain * Level127(v.velocity) * Level127(c.volume) *
              Level127(c.expression);
  float p = static_cast<float>(std::max<int>(c.pan, 1) - 1) / 126.0f;
  gl = amp * std::cos(p * 0.5f * PI);
  gr = amp * std::sin(p * 0.5f * PI);
}

// Linear up to the knee, then bent smoothly so that no sum reaches 1.
float SoftLimit(float x) {
  float a = std::fabs(x);
  if (a <= FALLBACK_SYNTH_KNEE) return x;
  float room = 1.0f - FALLBACK_SYNTH_KNEE;
  float bent = FALLBACK_SYNTH_KNEE + room * std::tanh((a - FALLBACK_SYNTH_KNEE) / room);
  return std::copysign(std::min(bent, 0.9999f), x);
}

void RenderChunk(float* out, int frames) {
  std::fill(g.scratch, g.scratch + 2 * frames, 0.0f);
  for (Voice& v : g.voices) {
    if (v.stage == Stage::Off) continue;
    float gl = 0.0f;
    float gr = 0.0f;
    TargetGains(v, gl, gr);
    if (v.fresh) {
      v.fresh = false;
      v.gainL = gl;
      v.gainR = gr;
    }
    if (v.drum) {
      RenderDrum(v, frames, gl, gr);
    } else {
      RenderMelodic(v, frames, gl, gr);
    }
  }
  for (int i = 0; i < 2 * frames; ++i) out[i] += SoftLimit(g.scratch[i]);
}

}  // namespace

bool FallbackSynthInit(int32_t sampleRate) {
  g.rate = 0;
  g.nextAge = 0;  // the same messages give the same samples after every start
  for (Voice& v : g.voices) v.stage = Stage::Off;
  DefaultChannels();
  if (sampleRate < 8000 || sampleRate > 192000) return false;
  g.rate = sampleRate;
  for (int i = 0; i <= SINE_SIZE; ++i) {
    g.sine[i] = std::sin(2.0f * PI * static_cast<float>(i) / SINE_SIZE);
  }
  return true;
}

void FallbackSynthMessage(uint32_t shortMessage) {
  if (g.rate == 0) return;
  int status = static_cast<int>(shortMessage & 0xFFu);
  int d1 = static_cast<int>((shortMessage >> 8) & 0x7Fu);
  int d2 = static_cast<int>((shortMessage >> 16) & 0x7Fu);
  int ch = status & 0x0F;
  switch (status & 0xF0) {
    case 0x80:
      NoteOff(ch, d1);
      break;
    case 0x90:
      if (d2 == 0) {
        NoteOff(ch, d1);
      } else {
        NoteOn(ch, d1, d2);
      }
      break;
    case 0xB0:
      ControlChange(ch, d1, d2);
      break;
    case 0xC0:
      g.channels[ch].program = static_cast<uint8_t>(d1);
      break;
    case 0xE0:
      g.channels[ch].bend = ((d2 << 7) | d1) - 8192;
      break;
    default:
      break;  // aftertouch, system messages: not used by these voices
  }
}

void FallbackSynthRender(float* interleavedStereo, int frames) {
  if (g.rate == 0 || interleavedStereo == nullptr) return;
  for (int done = 0; done < frames; done += CHUNK) {
    RenderChunk(interleavedStereo + 2 * done, std::min(CHUNK, frames - done));
  }
}

void FallbackSynthReset() {
  if (g.rate == 0) return;
  float quick = SecondsCoef(RESET_RELEASE);
  for (int ch = 0; ch < 16; ++ch) {
    g.channels[ch].sustain = false;
    g.channels[ch].bend = 0;
    ReleaseChannel(ch, quick);
  }
}

int32_t FallbackSynthActiveVoices() {
  int32_t n = 0;
  for (const Voice& v : g.voices) n += v.stage != Stage::Off ? 1 : 0;
  return n;
}
