// Small synthesis kit for the sound effects: oscillators, noise, filters, envelopes, WAVE output.
// Only + - * / on doubles and our own series, so every build makes the same bytes.
#pragma once
#include <cstdint>
#include <vector>

using EffectTrack = std::vector<double>;  // one channel, nominally -1..1

constexpr double TWO_PI = 6.283185307179586;

double SynthSin(double turns);  // sin(2*pi*turns)
double SynthExp(double x);
double NoteHz(double midiNote);  // 69 = 440 Hz
double Clamp01(double x);

// White noise from a fixed seed, -1..1.
struct SynthNoise {
  uint32_t state;
  double Next();
};

// One-pole low-pass; `Set` takes the cut-off in Hz.
struct SynthLowpass {
  double coeff = 1.0;
  double z = 0.0;
  void Set(double hz, double rate);
  double Run(double x);
};

// Resonant state-variable filter (two integrators) for sweeps; q about 0.5..10.
struct SynthFilter {
  double low = 0.0, band = 0.0;
  double Low(double x, double hz, double q, double rate);
  double Band(double x, double hz, double q, double rate);

 private:
  void Step(double x, double hz, double q, double rate);
};

// Attack then exponential decay with time constant tau (seconds); 0 before start.
double Pluck(double t, double attack, double tau);
// Linear attack, flat hold, linear release: a gate for held notes.
double Gate(double t, double attack, double hold, double release);

// Phase accumulator oscillator; `Tick` advances by hz and returns the new phase in turns.
struct SynthOsc {
  double phase = 0.0;
  double Tick(double hz, double rate);
};

// Adds a feedback echo in place: delay in seconds, gain per repeat.
void AddEcho(EffectTrack& track, double rate, double delay, double gain, int repeats);

// Turns the channels into a RIFF WAVE image: 8-bit PCM, 16-byte 'fmt ', 'data' of exactly
// sampleBytes. Removes DC, normalises the peak to `peak`, and fades the first and last
// few milliseconds so that the effect starts and ends on the centre line.
std::vector<uint8_t> EncodeEffect(std::vector<EffectTrack> channels, uint32_t rate,
                                  uint32_t sampleBytes, double peak);
