// Reading and writing replay files, and feeding recorded input back to the game.
#include "input/replay.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/bytes.h"
#include "core/file_read.h"

namespace {
constexpr char MAGIC[4] = {'Z', 'Z', 'R', 'P'};
constexpr size_t HEADER_BYTES = 20;
// 77 hours at 60 frames a second; a 28-byte file must not make the game reserve gigabytes.
constexpr uint32_t MAX_FRAMES = 1u << 24;
// One run per frame at most.
constexpr size_t MAX_FILE_BYTES = HEADER_BYTES + 8 * size_t{MAX_FRAMES};

enum class Mode { Off, Recording, Playing };
Mode ReplayMode = Mode::Off;
std::string RecordPath;
std::FILE* RecordFile = nullptr;  // made at the start, so a bad path is known before playing
ReplayData Active;
size_t PlayPosition = 0;
bool RanOut = false;

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

void DropRecordFile() {
  if (RecordFile != nullptr) std::fclose(RecordFile);
  RecordFile = nullptr;
}

}  // namespace

std::vector<uint8_t> EncodeReplay(const ReplayData& data) {
  std::vector<std::pair<uint32_t, uint32_t>> runs;
  for (uint32_t b : data.bits) {
    if (!runs.empty() && runs.back().first == b) {
      ++runs.back().second;
    } else {
      runs.emplace_back(b, 1);
    }
  }
  std::vector<uint8_t> out(MAGIC, MAGIC + 4);
  AppendLe32(out, REPLAY_VERSION);
  AppendLe32(out, data.switches);
  AppendLe32(out, static_cast<uint32_t>(data.bits.size()));
  AppendLe32(out, static_cast<uint32_t>(runs.size()));
  for (const auto& [bits, frames] : runs) {
    AppendLe32(out, bits);
    AppendLe32(out, frames);
  }
  return out;
}

bool DecodeReplay(const uint8_t* bytes, size_t size, ReplayData* out, std::string* error) {
  if (size < HEADER_BYTES) return Fail(error, "the file is shorter than a replay header");
  if (std::memcmp(bytes, MAGIC, 4) != 0) return Fail(error, "not a replay file (bad magic)");
  if (ReadLe32(bytes + 4) != REPLAY_VERSION) return Fail(error, "unsupported replay version");
  const uint32_t switches = ReadLe32(bytes + 8);
  const uint32_t frames = ReadLe32(bytes + 12);
  const uint32_t runs = ReadLe32(bytes + 16);
  if (frames > MAX_FRAMES) return Fail(error, "frame count is implausibly large");
  if (runs > frames) return Fail(error, "more runs than frames");
  if ((size - HEADER_BYTES) / 8 < runs) return Fail(error, "the file is truncated");
  if (size - HEADER_BYTES != static_cast<size_t>(runs) * 8)
    return Fail(error, "trailing bytes after the last run");
  // The runs are checked before any frame is stored: a file whose runs do not add up must not
  // cost the memory of the frames it claims.
  uint32_t total = 0;
  for (uint32_t i = 0; i < runs; ++i) {
    const uint32_t count = ReadLe32(bytes + HEADER_BYTES + 8 * static_cast<size_t>(i) + 4);
    if (count == 0 || count > frames - total)
      return Fail(error, "run lengths do not add up to the frame count");
    total += count;
  }
  if (total != frames) return Fail(error, "run lengths do not add up to the frame count");
  ReplayData data;
  data.switches = switches;
  data.bits.reserve(frames);
  for (uint32_t i = 0; i < runs; ++i) {
    const uint8_t* run = bytes + HEADER_BYTES + 8 * static_cast<size_t>(i);
    data.bits.insert(data.bits.end(), ReadLe32(run + 4), ReadLe32(run));
  }
  *out = std::move(data);
  return true;
}

bool ReplayStartRecording(const char* path, uint32_t switches, std::string* error) {
  DropRecordFile();
  RecordFile = std::fopen(path, "wb");
  if (RecordFile == nullptr)
    return Fail(error, std::string("cannot write ") + path + ": " + std::strerror(errno));
  ReplayMode = Mode::Recording;
  RecordPath = path;
  Active = ReplayData{switches, {}};
  return true;
}

bool ReplayStartPlaying(const char* path, ReplayData* loaded, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, MAX_FILE_BYTES, &bytes, error)) return false;
  ReplayData data;
  if (!DecodeReplay(bytes.data(), bytes.size(), &data, error)) return false;
  DropRecordFile();
  if (loaded) *loaded = data;
  Active = std::move(data);
  ReplayMode = Mode::Playing;
  PlayPosition = 0;
  RanOut = false;
  return true;
}

bool ReplayIsPlaying() { return ReplayMode == Mode::Playing; }
bool ReplayIsRecording() { return ReplayMode == Mode::Recording; }
bool ReplayExhausted() { return RanOut; }

uint32_t ReplayFilterInput(uint32_t liveBits) {
  switch (ReplayMode) {
    case Mode::Recording:
      Active.bits.push_back(liveBits);
      return liveBits;
    case Mode::Playing:
      if (PlayPosition < Active.bits.size()) return Active.bits[PlayPosition++];
      RanOut = true;
      return 0;
    case Mode::Off:
      break;
  }
  return liveBits;
}

bool ReplayFinish(std::string* error) {
  const Mode was = ReplayMode;
  ReplayMode = Mode::Off;
  if (was != Mode::Recording) return true;
  if (Active.bits.size() > MAX_FRAMES) {
    DropRecordFile();
    return Fail(error, "the recording is too long to replay");
  }
  const std::vector<uint8_t> bytes = EncodeReplay(Active);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), RecordFile) == bytes.size();
  int why = errno;
  const bool closed = std::fclose(RecordFile) == 0;
  if (written) why = errno;
  RecordFile = nullptr;
  if (!written || !closed)
    return Fail(error, "cannot write " + RecordPath + ": " + std::strerror(why));
  return true;
}
