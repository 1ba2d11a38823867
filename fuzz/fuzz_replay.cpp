// Fuzzes the replay file parser: any bytes are refused with a reason or decode to a replay
// that survives a round trip through the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "input/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so that any read past the end is caught.
  const std::vector<uint8_t> bytes(data, data + size);
  ReplayData decoded;
  std::string error;
  if (!DecodeReplay(bytes.data(), bytes.size(), &decoded, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (!error.empty()) std::abort();
  // Adjacent runs may hold the same bits, so the bytes can differ; the frames may not.
  const std::vector<uint8_t> again = EncodeReplay(decoded);
  if (again.size() > bytes.size()) std::abort();
  ReplayData back;
  if (!DecodeReplay(again.data(), again.size(), &back, &error)) std::abort();
  if (back.switches != decoded.switches || back.bits != decoded.bits) std::abort();
  return 0;
}
