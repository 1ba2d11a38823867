// Small Standard MIDI Files for the music tests.
#include "support/smf_builder.h"

#include <fstream>

namespace {
std::vector<uint8_t> VarLen(uint32_t value) {
  std::vector<uint8_t> out{static_cast<uint8_t>(value & 0x7F)};
  while ((value >>= 7) != 0) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
  return out;
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}
}  // namespace

SmfTrack& SmfTrack::Raw(uint32_t delta, std::vector<uint8_t> eventBytes) {
  const std::vector<uint8_t> d = VarLen(delta);
  bytes.insert(bytes.end(), d.begin(), d.end());
  bytes.insert(bytes.end(), eventBytes.begin(), eventBytes.end());
  return *this;
}

SmfTrack& SmfTrack::Note(uint32_t delta, uint8_t channel, uint8_t key, uint8_t velocity) {
  return Raw(delta, {static_cast<uint8_t>(0x90 | channel), key, velocity});
}

SmfTrack& SmfTrack::Meta(uint32_t delta, uint8_t type, std::vector<uint8_t> data) {
  std::vector<uint8_t> e{0xFF, type};
  const std::vector<uint8_t> len = VarLen(static_cast<uint32_t>(data.size()));
  e.insert(e.end(), len.begin(), len.end());
  e.insert(e.end(), data.begin(), data.end());
  return Raw(delta, e);
}

SmfTrack& SmfTrack::Tempo(uint32_t delta, uint32_t microsPerQuarter) {
  return Meta(
      delta, 0x51,
      {static_cast<uint8_t>(microsPerQuarter >> 16), static_cast<uint8_t>(microsPerQuarter >> 8),
       static_cast<uint8_t>(microsPerQuarter)});
}

SmfTrack& SmfTrack::End(uint32_t delta) { return Meta(delta, 0x2F, {}); }

std::vector<uint8_t> BuildSmf(uint32_t division, const std::vector<SmfTrack>& tracks,
                              uint32_t format, uint32_t headerLength) {
  std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
  Put32(&out, headerLength);
  for (uint32_t v : {format, static_cast<uint32_t>(tracks.size()), division}) {
    out.insert(out.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
  }
  for (uint32_t i = 6; i < headerLength; ++i) out.push_back(0);
  for (const SmfTrack& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    Put32(&out, static_cast<uint32_t>(t.bytes.size()));
    out.insert(out.end(), t.bytes.begin(), t.bytes.end());
  }
  return out;
}

std::string WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}
