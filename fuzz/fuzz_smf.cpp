// Fuzzes the song reader: open any bytes as a song, encode it to its end, then a few looped
// buffers past it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "music/smf_reader.h"

namespace {

const std::string& SongPathForThisProcess() {
  static const std::string path = "/tmp/fuzz_smf_" + std::to_string(getpid()) + ".mid";
  return path;
}

void EncodeUntil(int32_t limit) {
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  slot.header.dwBufferLength = STREAM_BUFFER_BYTES;
  for (int32_t i = 0; i < limit; ++i) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    slot.startTick = 0;
    slot.timeUp = 0;
    const int32_t r = EncodeBuffer(i == 0 ? 1 : 0, &slot);
    if (slot.used > STREAM_BUFFER_BYTES || slot.used % STREAM_EVENT_BYTES != 0) __builtin_trap();
    if (r != ENC_OK) break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = SongPathForThisProcess();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TempoPercent = 130;
  Looping = 0;
  if (SongOpen(path.c_str()) == SONG_OK) EncodeUntil(1 << 16);
  SongClose();
  Looping = 1;
  if (SongOpen(path.c_str()) == SONG_OK) EncodeUntil(64);
  SongClose();
  return 0;
}
