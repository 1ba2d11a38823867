// Builds small Standard MIDI Files in memory for the music tests.
#pragma once
#include <cstdint>
#include <vector>

#include "support/files.h"

// One track's event bytes; each call appends one event after `delta` ticks.
struct SmfTrack {
  std::vector<uint8_t> bytes;
  SmfTrack& Raw(uint32_t delta, const std::vector<uint8_t>& eventBytes) {
    std::vector<uint8_t> d{static_cast<uint8_t>(delta & 0x7F)};
    while ((delta >>= 7) != 0) d.insert(d.begin(), static_cast<uint8_t>(0x80 | (delta & 0x7F)));
    bytes.insert(bytes.end(), d.begin(), d.end());
    bytes.insert(bytes.end(), eventBytes.begin(), eventBytes.end());
    return *this;
  }
  SmfTrack& Note(uint32_t delta, uint8_t channel, uint8_t key, uint8_t velocity) {
    return Raw(delta, {static_cast<uint8_t>(0x90 | channel), key, velocity});
  }
  // A meta event of fewer than 128 data bytes.
  SmfTrack& Meta(uint32_t delta, uint8_t type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> e{0xFF, type, static_cast<uint8_t>(data.size())};
    e.insert(e.end(), data.begin(), data.end());
    return Raw(delta, e);
  }
  SmfTrack& Tempo(uint32_t delta, uint32_t micros) {
    return Meta(delta, 0x51, {uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
  }
  SmfTrack& End(uint32_t delta = 0) { return Meta(delta, 0x2F, {}); }
};

// A whole file: "MThd" with `headerLength` bytes (extra ones zero), then one "MTrk" per track.
inline std::vector<uint8_t> BuildSmf(uint32_t division, const std::vector<SmfTrack>& tracks,
                                     uint32_t headerLength = 6) {
  std::vector<uint8_t> out;
  const auto put = [&out](uint32_t v, int bytes) {
    while (bytes-- > 0) out.push_back(static_cast<uint8_t>(v >> (8 * bytes)));
  };
  out = {'M', 'T', 'h', 'd'};
  put(headerLength, 4);
  put(1, 2);  // format 1
  put(static_cast<uint32_t>(tracks.size()), 2);
  put(division, 2);
  out.resize(out.size() + headerLength - 6, 0);
  for (const SmfTrack& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put(static_cast<uint32_t>(t.bytes.size()), 4);
    out.insert(out.end(), t.bytes.begin(), t.bytes.end());
  }
  return out;
}
