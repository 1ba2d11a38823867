// Web machine: no audio dump. A browser program has no thread for the writer, and nothing on its
// file system would reach the player; asking for one is refused rather than ignored.
#include <cstdio>

#include "platform/audio_dump.h"

namespace {
bool Refused = false;
}  // namespace

void AudioDumpFinish::operator()(AudioDump*) const {}

AudioDumpPtr AudioDumpStart(const char* path, int32_t, size_t) {
  std::fprintf(stderr, "zizid-ozavav: --audio-dump %s: not available in a web browser\n", path);
  Refused = true;
  return nullptr;
}

void AudioDumpFeed(AudioDump*, const float*, int32_t) {}

uint32_t AudioDumpDroppedFrames(const AudioDump*) { return 0; }

bool AudioDumpFailed() { return Refused; }
