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
  // Any speed, the nonsensical ones (0, a few per cent) included, chosen by the input's length.
  TempoPercent = static_cast<int32_t>(size % 200);
  Looping = 0;
  // The looped buffers go on from where the song ended, as the player's loop does: one open and
  // one pass per input, where reopening and encoding from the start again doubled the work.
  if (SongOpen(ScratchFile(data, size)) == SONG_OK) {
    const int32_t r = EncodeUntil(1 << 16, true);
    if (r == ENC_DONE) {
      Looping = 1;
      EncodeUntil(8, false);
    } else if (r == ENC_CORRUPT && EncodeUntil(1, false) != ENC_STUCK) {
      __builtin_trap();  // a corrupt song must stay stopped
    }
  }
  SongClose();
  return 0;
}
