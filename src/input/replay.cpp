// Reading and writing replay files, and feeding recorded input back to the game.
#include "input/replay.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
constexpr char kMagic[4] = {'Z', 'Z', 'R', 'P'};
constexpr size_t kHeaderBytes = 20;
// 77 hours at 60 frames a second; a 28-byte file must not make the game reserve gigabytes.
constexpr uint32_t kMaxFrames = 1u << 24;

enum class Mode { Off, Recording, Playing };
Mode ReplayMode = Mode::Off;
std::string RecordPath;
ReplayData Active;
size_t PlayPosition = 0;
bool RanOut = false;

void PutWord(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
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
  std::vector<uint8_t> out(kMagic, kMagic + 4);
  PutWord(out, REPLAY_VERSION);
  PutWord(out, data.switches);
  PutWord(out, static_cast<uint32_t>(data.bits.size()));
  PutWord(out, static_cast<uint32_t>(runs.size()));
  for (const auto& [bits, frames] : runs) {
    PutWord(out, bits);
    PutWord(out, frames);
  }
  return out;
}

bool DecodeReplay(const uint8_t* bytes, size_t size, ReplayData* out, std::string* error) {
  if (size < kHeaderBytes) return Fail(error, "the file is shorter than a replay header");
  if (std::memcmp(bytes, kMagic, 4) != 0) return Fail(error, "not a replay file (bad magic)");
  if (GetWord(bytes + 4) != REPLAY_VERSION) return Fail(error, "unsupported replay version");
  const uint32_t switches = GetWord(bytes + 8);
  const uint32_t frames = GetWord(bytes + 12);
  const uint32_t runs = GetWord(bytes + 16);
  if (frames > kMaxFrames) return Fail(error, "frame count is implausibly large");
  if (runs > frames) return Fail(error, "more runs than frames");
  if ((size - kHeaderBytes) / 8 < runs) return Fail(error, "the file is truncated");
  if (size - kHeaderBytes != static_cast<size_t>(runs) * 8)
    return Fail(error, "trailing bytes after the last run");
  ReplayData data;
  data.switches = switches;
  data.bits.reserve(frames);
  for (uint32_t i = 0; i < runs; ++i) {
    const uint8_t* run = bytes + kHeaderBytes + 8 * static_cast<size_t>(i);
    const uint32_t count = GetWord(run + 4);
    if (count == 0 || count > frames - data.bits.size())
      return Fail(error, "run lengths do not add up to the frame count");
    data.bits.insert(data.bits.end(), count, GetWord(run));
  }
  if (data.bits.size() != frames)
    return Fail(error, "run lengths do not add up to the frame count");
  *out = std::move(data);
  return true;
}

bool ReplayStartRecording(const char* path, uint32_t switches) {
  ReplayMode = Mode::Recording;
  RecordPath = path;
  Active = ReplayData{switches, {}};
  return true;
}

bool ReplayStartPlaying(const char* path, ReplayData* loaded, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, std::string("cannot open ") + path);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  ReplayData data;
  if (!DecodeReplay(bytes.data(), bytes.size(), &data, error)) return false;
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
  if (Active.bits.size() > kMaxFrames) return Fail(error, "the recording is too long to replay");
  const std::vector<uint8_t> bytes = EncodeReplay(Active);
  std::ofstream out(RecordPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Fail(error, "cannot write " + RecordPath);
  return true;
}
