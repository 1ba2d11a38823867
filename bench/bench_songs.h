// Songs written on the spot for the music benchmarks.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench_songs {

inline void VarLen(std::vector<uint8_t>* out, uint32_t v) {
  uint8_t bytes[5];
  int n = 0;
  do {
    bytes[n++] = static_cast<uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v != 0);
  while (n > 1) out->push_back(static_cast<uint8_t>(0x80 | bytes[--n]));
  out->push_back(bytes[0]);
}

inline void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out->push_back(static_cast<uint8_t>(v >> s));
}

// `tracks` tracks of `notes` notes each, one every `step` ticks on the track's own channel
// (a note off half a step later), 480 ticks a quarter at 0.5 s; track 0 starts with the tempo.
inline std::vector<uint8_t> EvenSong(int tracks, int notes, uint32_t step) {
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  file.push_back(static_cast<uint8_t>(tracks >> 8));
  file.push_back(static_cast<uint8_t>(tracks));
  file.push_back(480 >> 8);
  file.push_back(480 & 0xFF);
  for (int t = 0; t < tracks; ++t) {
    std::vector<uint8_t> e;
    const uint8_t channel = static_cast<uint8_t>(t == 9 ? 10 : t % 16);
    if (t == 0) e.insert(e.end(), {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    e.insert(e.end(),
             {0x00, static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(t * 7 % 96)});
    for (int i = 0; i < notes; ++i) {
      const uint8_t key = static_cast<uint8_t>(36 + (i * 5 + t * 3) % 48);
      VarLen(&e, i == 0 ? 0 : step - step / 2);
      e.insert(e.end(), {static_cast<uint8_t>(0x90 | channel), key, 90});
      VarLen(&e, step / 2);
      e.insert(e.end(), {key, 0});  // running status, velocity 0: note off
    }
    e.insert(e.end(), {0x00, 0xFF, 0x2F, 0x00});
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put32(&file, static_cast<uint32_t>(e.size()));
    file.insert(file.end(), e.begin(), e.end());
  }
  return file;
}

inline bool WriteSong(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace bench_songs
