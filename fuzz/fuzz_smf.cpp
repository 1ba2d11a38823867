// Fuzzes the song reader: open any bytes as a song, encode it to its end, then a few looped
// buffers past it.
#include <cstdint>
#include <vector>

#include "music/smf_reader.h"
#include "scratch_file.h"

namespace {

// Encodes up to `limit` buffers, the first with a reset; the last result.
int32_t EncodeUntil(int32_t limit, bool reset) {
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  slot.header.dwBufferLength = STREAM_BUFFER_BYTES;
  int32_t r = ENC_OK;
  for (int32_t i = 0; i < limit; ++i) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    slot.startTick = 0;
    slot.timeUp = 0;
    r = EncodeBuffer(reset && i == 0 ? 1 : 0, &slot);
    if (slot.used > STREAM_BUFFER_BYTES || slot.used % STREAM_EVENT_BYTES != 0) __builtin_trap();
    if (r != ENC_OK) break;
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TempoPercent = 130;
  Looping = 0;
  // The looped buffers go on from where the song ended, as the player's loop does: one open and
  // one pass per input, where reopening and encoding from the start again doubled the work.
  if (SongOpen(ScratchFile(data, size)) == SONG_OK && EncodeUntil(1 << 16, true) == ENC_DONE) {
    Looping = 1;
    EncodeUntil(8, false);
  }
  SongClose();
  return 0;
}
