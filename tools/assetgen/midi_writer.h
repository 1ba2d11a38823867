// Standard MIDI File (format 1) writer for the generated songs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t TICKS_PER_QUARTER = 480;
constexpr uint8_t DRUM_CHANNEL = 9;  // channel 10 as musicians count

struct MidiNote {
  uint32_t start;
  uint32_t length;
  uint8_t key;
  uint8_t velocity;
};

// A controller change within a part, such as the expression of a swell.
struct MidiControl {
  uint32_t tick;
  uint8_t controller;
  uint8_t value;
};

// One part: a track of its own on one channel, set up at tick 0.
struct MidiPart {
  std::string name;
  uint8_t channel = 0;  // 0-based
  uint8_t program = 0;  // 0-based General MIDI program; not sent on the drum channel
  uint8_t volume = 100;
  uint8_t pan = 64;
  uint8_t reverb = 40;
  uint8_t chorus = 0;
  std::vector<MidiNote> notes;
  std::vector<MidiControl> controls;  // sent before the notes that start at the same tick
};

struct MidiTempo {
  uint32_t tick;
  uint32_t microsPerQuarter;
};

struct MidiSong {
  std::string name;
  uint8_t beatsPerBar = 4;
  uint8_t beatUnit = 4;
  uint32_t lengthTicks = 0;       // the loop point: everything ends here
  std::vector<MidiTempo> tempos;  // sorted by tick; the first is at tick 0
  std::vector<MidiPart> parts;
};

// Notes sorted by start; a note still sounding when its key strikes again is ended there.
std::vector<MidiNote> UntangledNotes(std::vector<MidiNote> notes, uint32_t endTick);

// Encodes the song: a tempo track, then one track per part. Notes are cut at the song's end
// and where the same key starts again, so nothing sounds across the loop.
std::vector<uint8_t> EncodeMidiSong(const MidiSong& song);
