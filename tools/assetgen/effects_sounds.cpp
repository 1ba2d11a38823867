// The eleven sound effects "WAV_00".."WAV_0A": FM tones, filtered noise and envelopes.
#include <cmath>
#include <cstdio>

#include "assetgen.h"
#include "effects_synth.h"

namespace {
struct EffectShape {
  const char* name;
  uint32_t channels;
  uint32_t rate;
  uint32_t sampleBytes;
};

// Formats and lengths the game's effect table expects.
constexpr EffectShape SHAPES[11] = {
    {"WAV_00", 2, 11025, 29768}, {"WAV_01", 1, 22050, 15579}, {"WAV_02", 1, 22050, 11915},
    {"WAV_03", 1, 22050, 5679},  {"WAV_04", 1, 22050, 22728}, {"WAV_05", 1, 22050, 23975},
    {"WAV_06", 1, 11025, 28016}, {"WAV_07", 1, 22050, 32727}, {"WAV_08", 1, 22050, 37853},
    {"WAV_09", 2, 11025, 6616},  {"WAV_0A", 2, 11025, 13230}};

// Soft saturation: rounds off peaks the way an overdriven 1990s sampler did.
double Soft(double x) { return x / (1.0 + std::fabs(x)); }

// Pitch that glides exponentially from `from` to `to` Hz with time constant tau.
double Glide(double t, double from, double to, double tau) {
  return to + (from - to) * SynthExp(-t / tau);
}

// Two-operator FM: carrier at hz, modulator at hz*ratio with the given index.
struct FmVoice {
  SynthOsc carrier, modulator;
  double Tick(double hz, double ratio, double index, double rate) {
    const double m = SynthSin(modulator.Tick(hz * ratio, rate));
    return SynthSin(carrier.Tick(hz, rate) + index * m / TWO_PI);
  }
};

// Effect 0: a breakable object shatters: crack, falling filtered noise, thump, debris.
std::vector<EffectTrack> Shatter(size_t frames, double rate) {
  std::vector<EffectTrack> out(2, EffectTrack(frames));
  SynthNoise crackNoise{0x1234567u}, grainNoise{0x2468aceu}, grainTime{0x13579bdu};
  SynthNoise body[2] = {{0xa5a5a5a5u}, {0x5a5a5a5au}};
  SynthFilter bodyFilter[2];
  SynthOsc thump;
  double grainLeft = 0.0, grainRight = 0.0, grainAge = 1.0;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double crack = crackNoise.Next() * Pluck(t, 0.001, 0.03);
    const double boom =
        SynthSin(thump.Tick(Glide(t, 110.0, 38.0, 0.08), rate)) * Pluck(t, 0.002, 0.22);
    // Debris: short noise grains, thinning out, each thrown to one side.
    const double density = 0.004 * SynthExp(-t / 0.45);
    if (t > 0.05 && (grainTime.Next() + 1.0) * 0.5 < density) {
      const double side = (grainTime.Next() + 1.0) * 0.5;
      grainLeft = 1.0 - side;
      grainRight = side;
      grainAge = 0.0;
    }
    const double grain =
        grainNoise.Next() * Pluck(grainAge, 0.0005, 0.006) * (0.6 * SynthExp(-t / 0.5));
    grainAge += 1.0 / rate;
    const double cutoff = 200.0 + 3200.0 * SynthExp(-t / 0.18);
    for (int c = 0; c < 2; c++) {
      const double hiss =
          bodyFilter[c].Low(body[c].Next(), cutoff, 0.9, rate) * Pluck(t, 0.002, 0.3);
      out[c][i] = 0.8 * crack + 0.9 * hiss + 0.9 * boom + grain * (c == 0 ? grainLeft : grainRight);
    }
  }
  for (EffectTrack& c : out) AddEcho(c, rate, 0.085, 0.22, 2);
  return out;
}

// Effect 1: confirm: two rising FM chimes with a short echo.
std::vector<EffectTrack> Confirm(size_t frames, double rate) {
  EffectTrack out(frames);
  FmVoice first, second;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double a = Pluck(t, 0.002, 0.09);
    const double b = Pluck(t - 0.065, 0.002, 0.14);
    out[i] = 0.6 * a * first.Tick(NoteHz(88), 2.0, 0.8 + 1.4 * a, rate) +
             0.7 * b * second.Tick(NoteHz(95), 2.0, 0.6 + 1.4 * b, rate);
  }
  AddEcho(out, rate, 0.11, 0.3, 3);
  return {out};
}

// Effect 2: ram: a punchy low hit with a metallic clang on top.
std::vector<EffectTrack> Ram(size_t frames, double rate) {
  EffectTrack out(frames);
  SynthOsc thump;
  FmVoice clang;
  SynthNoise noise{0xbeef1234u};
  SynthLowpass crackTone;
  crackTone.Set(2500.0, rate);
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double body =
        SynthSin(thump.Tick(Glide(t, 190.0, 55.0, 0.03), rate)) * Pluck(t, 0.001, 0.11);
    const double crack = crackTone.Run(noise.Next()) * Pluck(t, 0.0005, 0.025);
    const double ring = Pluck(t, 0.001, 0.08);
    const double metal = clang.Tick(330.0, 1.41, 4.0 * ring, rate) * ring;
    out[i] = Soft(1.6 * body + 1.8 * crack + 0.45 * metal);
  }
  return {out};
}

// Effect 3: edge bounce: a short springy upward blip.
std::vector<EffectTrack> Bounce(size_t frames, double rate) {
  EffectTrack out(frames);
  SynthOsc osc;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double p = osc.Tick(Glide(t, 380.0, 900.0, 0.05), rate);
    out[i] = (SynthSin(p) + 0.25 * SynthSin(2.0 * p)) * Pluck(t, 0.002, 0.05);
  }
  return {out};
}

// FM brass note: brighter as it swells, with a little delayed vibrato.
double Brass(FmVoice& v, double t, double note, double hold, double rate) {
  const double env = Gate(t, 0.025, hold, 0.08);
  if (env <= 0.0 && t > 0.0) return 0.0;
  const double vibrato = 1.0 + 0.006 * SynthSin(5.5 * t) * Clamp01((t - 0.15) * 4.0);
  return env * v.Tick(NoteHz(note) * vibrato, 1.0, 0.8 + 2.6 * env, rate);
}

// Effect 4: mission start: a brass arpeggio up to a held major chord.
std::vector<EffectTrack> Fanfare(size_t frames, double rate) {
  EffectTrack out(frames);
  FmVoice run[4], chord[4];
  const double runNotes[4] = {67, 72, 76, 79};
  const double chordNotes[4] = {72, 76, 79, 84};
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    double s = 0.0;
    for (int n = 0; n < 4; n++) s += 0.5 * Brass(run[n], t - 0.085 * n, runNotes[n], 0.05, rate);
    for (int n = 0; n < 4; n++) s += 0.3 * Brass(chord[n], t - 0.36, chordNotes[n], 0.5, rate);
    out[i] = s;
  }
  AddEcho(out, rate, 0.09, 0.18, 2);
  return {out};
}

// Effect 5: rock: a deep thud with rumble and a scatter of gravel.
std::vector<EffectTrack> RockThud(size_t frames, double rate) {
  EffectTrack out(frames);
  SynthOsc thump;
  SynthNoise rumbleNoise{0x600dcafeu}, gravelNoise{0x0ddba11u}, gravelTime{0xfeedu};
  SynthLowpass rumbleTone, rumbleTone2;
  rumbleTone.Set(300.0, rate);
  rumbleTone2.Set(300.0, rate);
  SynthFilter gravelTone;
  double grainAge = 1.0;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double body =
        SynthSin(thump.Tick(Glide(t, 95.0, 36.0, 0.09), rate)) * Pluck(t, 0.002, 0.28);
    const double rumble =
        rumbleTone2.Run(rumbleTone.Run(rumbleNoise.Next())) * 4.0 * Pluck(t, 0.004, 0.35);
    if ((gravelTime.Next() + 1.0) * 0.5 < 0.003 * SynthExp(-t / 0.3)) grainAge = 0.0;
    const double gravel = gravelTone.Band(gravelNoise.Next(), 1400.0, 2.0, rate) *
                          Pluck(grainAge, 0.0005, 0.008) * SynthExp(-t / 0.4);
    grainAge += 1.0 / rate;
    out[i] = Soft(1.4 * body + rumble + 0.5 * gravel);
  }
  return {out};
}

// Electric-piano tone: FM with a faint bright tine at the attack.
double Keys(FmVoice& v, FmVoice& tine, double t, double note, double tau, double rate) {
  if (t < 0.0) return 0.0;
  const double env = Pluck(t, 0.003, tau);
  const double hz = NoteHz(note);
  return env * (v.Tick(hz, 1.0, 1.6 * env, rate) +
                0.2 * SynthExp(-t / 0.03) * tine.Tick(hz * 3.0, 1.0, 0.5, rate));
}

// Effect 6: result jingle: a bright run up, a turn, and a held chord over a bass.
std::vector<EffectTrack> Jingle(size_t frames, double rate) {
  struct Note {
    double at, note, tau, level;
  };
  const Note notes[] = {{0.00, 72, 0.25, 0.5}, {0.12, 76, 0.25, 0.5}, {0.24, 79, 0.25, 0.5},
                        {0.36, 84, 0.3, 0.55}, {0.60, 83, 0.2, 0.45}, {0.72, 79, 0.2, 0.45},
                        {0.84, 81, 0.2, 0.45}, {0.96, 84, 0.7, 0.5},  {0.96, 79, 0.7, 0.3},
                        {0.96, 76, 0.7, 0.3},  {0.00, 48, 0.4, 0.45}, {0.48, 55, 0.3, 0.4},
                        {0.96, 48, 0.8, 0.5}};
  constexpr size_t COUNT = sizeof notes / sizeof notes[0];
  EffectTrack out(frames);
  FmVoice voices[COUNT], tines[COUNT];
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    double s = 0.0;
    for (size_t n = 0; n < COUNT; n++) {
      s += notes[n].level *
           Keys(voices[n], tines[n], t - notes[n].at, notes[n].note, notes[n].tau, rate);
    }
    out[i] = s;
  }
  AddEcho(out, rate, 0.18, 0.3, 4);
  return {out};
}

// Effect 7: mode change: a rising FM sweep with tremolo through a resonant filter, then a chime.
std::vector<EffectTrack> ModeChange(size_t frames, double rate) {
  EffectTrack out(frames);
  FmVoice sweep, chime;
  SynthNoise noise{0xc0ffee11u};
  SynthFilter whoosh;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double rise = Clamp01(t / 0.85);
    const double hz = 180.0 * SynthExp(rise * 2.2);  // about three octaves up
    const double tremolo = 0.75 + 0.25 * SynthSin(14.0 * t);
    const double body =
        sweep.Tick(hz, 0.5, 2.5 * (1.0 - 0.5 * rise), rate) * Gate(t, 0.06, 0.7, 0.2) * tremolo;
    const double air = whoosh.Band(noise.Next(), hz * 2.0, 4.0, rate) * Gate(t, 0.2, 0.5, 0.25);
    const double ding = Pluck(t - 0.88, 0.002, 0.16);
    const double bell = ding > 0.0 ? chime.Tick(NoteHz(96), 1.41, 2.0 * ding, rate) * ding : 0.0;
    out[i] = 0.55 * body + 0.12 * air + 0.6 * bell;
  }
  AddEcho(out, rate, 0.12, 0.28, 3);
  return {out};
}

// Effect 8: boss mission: a low gong, clashing brass stabs like an alarm, a dark held chord.
std::vector<EffectTrack> BossWarning(size_t frames, double rate) {
  EffectTrack out(frames);
  FmVoice gong, stabs[6], held[3];
  const double stabNotes[2] = {62, 63};  // a semitone apart: unease
  const double heldNotes[3] = {38, 45, 51};
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double g = Pluck(t, 0.003, 0.5);
    double s = 0.5 * g * gong.Tick(55.0, 1.41, 1.0 + 4.0 * g, rate);
    for (int k = 0; k < 3; k++) {
      for (int n = 0; n < 2; n++) {
        s += 0.3 * Brass(stabs[2 * k + n], t - 0.28 * k, stabNotes[n], 0.12, rate);
      }
    }
    for (int n = 0; n < 3; n++) {
      const double env = Gate(t - 0.84, 0.05, 0.45, 0.35);
      if (env > 0.0)
        s += 0.32 * env * held[n].Tick(NoteHz(heldNotes[n]), 1.0, 1.0 + 2.0 * env, rate);
    }
    out[i] = Soft(1.3 * s);
  }
  AddEcho(out, rate, 0.15, 0.25, 3);
  return {out};
}

// Effect 9: score tick: a crisp short pip, echoed a little to the right.
std::vector<EffectTrack> Tick(size_t frames, double rate) {
  std::vector<EffectTrack> out(2, EffectTrack(frames));
  SynthOsc osc;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double p = osc.Tick(1320.0, rate);
    out[0][i] = (SynthSin(p) + 0.3 * SynthSin(2.0 * p)) * Pluck(t, 0.0008, 0.022);
  }
  out[1] = out[0];
  AddEcho(out[1], rate, 0.06, 0.35, 2);
  AddEcho(out[0], rate, 0.12, 0.2, 1);
  return out;
}

// Effect 10: boss hit: a falling electric zap with noise crunch, slightly detuned per side.
std::vector<EffectTrack> BossHit(size_t frames, double rate) {
  std::vector<EffectTrack> out(2, EffectTrack(frames));
  FmVoice zap[2];
  SynthNoise noise{0x5eed5eedu};
  SynthLowpass crunchTone;
  crunchTone.Set(1800.0, rate);
  SynthOsc thump;
  for (size_t i = 0; i < frames; i++) {
    const double t = i / rate;
    const double env = Pluck(t, 0.002, 0.14);
    const double hz = Glide(t, 900.0, 120.0, 0.12);
    const double crunch = crunchTone.Run(noise.Next()) * Pluck(t, 0.001, 0.05);
    const double low =
        SynthSin(thump.Tick(Glide(t, 150.0, 45.0, 0.05), rate)) * Pluck(t, 0.002, 0.12);
    for (int c = 0; c < 2; c++) {
      const double detune = c == 0 ? 0.985 : 1.015;
      const double z = zap[c].Tick(hz * detune, 2.73, 3.5 * env, rate) * env;
      out[c][i] = Soft(0.9 * z + 1.6 * crunch + 1.2 * low);
    }
  }
  for (EffectTrack& c : out) AddEcho(c, rate, 0.07, 0.2, 2);
  return out;
}

using EffectDesign = std::vector<EffectTrack> (*)(size_t frames, double rate);
constexpr EffectDesign DESIGNS[11] = {Shatter, Confirm,    Ram,         Bounce, Fanfare, RockThud,
                                      Jingle,  ModeChange, BossWarning, Tick,   BossHit};

// Peaks a little under full scale: loud, never clipped.
constexpr double PEAK = 0.9;

}  // namespace

bool WriteEffects(const std::filesystem::path& outDir) {
  for (int n = 0; n < 11; n++) {
    const EffectShape& s = SHAPES[n];
    const size_t frames = s.sampleBytes / s.channels;
    std::vector<EffectTrack> tracks = DESIGNS[n](frames, s.rate);
    if (tracks.size() != s.channels) {
      std::fprintf(stderr, "assetgen: %s has the wrong channel count\n", s.name);
      return false;
    }
    if (!WriteFileBytes(ResourcePath(outDir, "WAVE", s.name),
                        EncodeEffect(std::move(tracks), s.rate, s.sampleBytes, PEAK))) {
      return false;
    }
  }
  return true;
}

