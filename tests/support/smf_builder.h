// Builds small Standard MIDI Files in memory for the music tests, and reads encoded buffers back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "music/smf_reader.h"

// One track's event bytes; each call appends one event after `delta` ticks.
struct SmfTrack {
  std::vector<uint8_t> bytes;
  SmfTrack& Raw(uint32_t delta, std::vector<uint8_t> eventBytes);
  SmfTrack& Note(uint32_t delta, uint8_t channel, uint8_t key, uint8_t velocity);
  SmfTrack& Meta(uint32_t delta, uint8_t type, std::vector<uint8_t> data);
  SmfTrack& Tempo(uint32_t delta, uint32_t microsPerQuarter);
  SmfTrack& End(uint32_t delta = 0);
};

// A whole file: "MThd" with `headerLength` bytes (extra ones zero), then one "MTrk" per track.
std::vector<uint8_t> BuildSmf(uint32_t division, const std::vector<SmfTrack>& tracks,
                              uint32_t format = 1, uint32_t headerLength = 6);
// Writes the bytes to `path` (relative to the working folder) and returns the path.
std::string WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
// A file name of this process's own, for tests that run side by side.
std::string ProcessFileName(const std::string& stem);

// The records a slot holds after EncodeBuffer.
std::vector<MIDIEVENT> SlotEvents(const StreamSlot& slot);

// A slot with its own buffer, set up as the player sets one before each EncodeBuffer.
struct TestSlot {
  std::vector<char> buffer = std::vector<char>(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  StreamSlot* Fresh();
};
