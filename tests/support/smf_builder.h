// Builds small Standard MIDI Files in memory for the music tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
