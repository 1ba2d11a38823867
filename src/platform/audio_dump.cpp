// Recording the mixed output to a WAVE file through a ring and a writer thread.
#include "platform/audio_dump.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

// The callback writes head, the writer tail; a full ring drops the block and counts it.
struct AudioDump {
  std::FILE* file = nullptr;
  uint32_t rate = 0;
  std::vector<int16_t> ring;    // interleaved stereo samples, size a power of two
  std::atomic<size_t> head{0};  // written by the callback
  std::atomic<size_t> tail{0};  // written by the writer
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> droppedFrames{0};
  std::counting_semaphore<> wake{0};
  std::thread writer;
  std::string path;
  uint32_t dataBytes = 0;          // only what reached the file, in whole frames
  std::atomic<bool> ended{false};  // a failed write or a full file: no more samples are kept
};

namespace {
std::atomic<bool> DumpFailed{false};
// The RIFF size (36 + data) is 32 bits: about 6.7 hours at 44.1 kHz, in whole frames.
constexpr uint32_t MAX_DUMP_DATA_BYTES = (UINT32_MAX - 36) & ~3u;
constexpr size_t HEADER_BYTES = 44;

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

// Writes (or rewrites) the 44-byte header for 16-bit stereo; false (errno set) when it did not
// reach the file.
bool WriteDumpHeader(AudioDump* d) {
  uint8_t h[HEADER_BYTES] = {'R', 'I', 'F', 'F', 0,   0,   0,   0,
                             'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  PutLe32(h + 4, 36 + d->dataBytes);
  PutLe32(h + 16, 16);
  PutLe16(h + 20, 1);
  PutLe16(h + 22, 2);
  PutLe32(h + 24, d->rate);
  PutLe32(h + 28, d->rate * 4);
  PutLe16(h + 32, 4);
  PutLe16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  PutLe32(h + 40, d->dataBytes);
  if (std::fseek(d->file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, d->file) != sizeof h)
    return false;
  return std::fseek(d->file, 0, SEEK_END) == 0;
}

std::string CannotWrite(const AudioDump* d, int error) {
  return "cannot write " + d->path + ": " + std::strerror(error);
}

// Ends the dump for good, told in one line; the samples that follow are let go.
void EndDump(AudioDump* d, const std::string& why, bool failed = true) {
  d->ended.store(true, std::memory_order_relaxed);
  if (failed) DumpFailed.store(true);
  std::fprintf(stderr, "audio dump: %s\n", why.c_str());
}

// Writes what the ring holds; keeps the header current so a killed program leaves a valid file.
void DrainDump(AudioDump* d) {
  const size_t head = d->head.load(std::memory_order_acquire);
  size_t tail = d->tail.load(std::memory_order_relaxed);
  if (head == tail) return;
  const size_t mask = d->ring.size() - 1;
  bool full = false;
  while (tail != head && !full && !d->ended.load(std::memory_order_relaxed)) {
    const size_t at = tail & mask;
    const size_t room = (MAX_DUMP_DATA_BYTES - d->dataBytes) / sizeof(int16_t);
    const size_t n = std::min({head - tail, d->ring.size() - at, room});
    full = n == room;
    // Unbuffered, so the count is what reached the file (host is little-endian).
    const size_t put = std::fwrite(d->ring.data() + at, sizeof(int16_t), n, d->file);
    d->dataBytes += static_cast<uint32_t>(put * sizeof(int16_t)) & ~3u;
    if (put != n) {
      const int error = errno;
      // Cut off a torn frame so that the header counts every byte of data in the file.
      if (ftruncate(fileno(d->file), HEADER_BYTES + static_cast<off_t>(d->dataBytes)) == 0)
        WriteDumpHeader(d);
      EndDump(d, CannotWrite(d, error));
    }
    tail += n;
  }
  d->tail.store(head, std::memory_order_release);
  if (d->ended.load(std::memory_order_relaxed)) return;
  if (!WriteDumpHeader(d)) {
    EndDump(d, CannotWrite(d, errno));
  } else if (full) {
    EndDump(d, d->path + " has reached the 4 GiB size limit of a WAVE file; the dump stops here",
            false);
  }
}

void DumpWriterLoop(AudioDump* d) {
  while (!d->stop.load(std::memory_order_acquire)) {
    (void)d->wake.try_acquire_for(std::chrono::milliseconds(100));
    DrainDump(d);
  }
  DrainDump(d);
}
}  // namespace

AudioDumpPtr AudioDumpStart(const char* path, int32_t rate, size_t ringSamples) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "audio dump: cannot write %s\n", path);
    DumpFailed.store(true);
    return nullptr;
  }
  AudioDumpPtr d(new AudioDump);
  d->file = file;
  std::setvbuf(d->file, nullptr, _IONBF, 0);
  d->path = path;
  d->rate = static_cast<uint32_t>(rate);
  d->ring.assign(ringSamples, 0);
  if (!WriteDumpHeader(d.get())) EndDump(d.get(), CannotWrite(d.get(), errno));
  d->writer = std::thread(DumpWriterLoop, d.get());
  return d;
}

void AudioDumpFinish::operator()(AudioDump* d) const {
  d->stop.store(true, std::memory_order_release);
  d->wake.release();
  d->writer.join();
  if (std::fclose(d->file) != 0 && !d->ended.load()) {
    EndDump(d, CannotWrite(d, errno));
  }
  if (d->droppedFrames.load() != 0) {
    std::fprintf(stderr, "audio dump: %u frames dropped (writer fell behind)\n",
                 d->droppedFrames.load());
  }
  delete d;
}

void AudioDumpFeed(AudioDump* d, const float* block, int32_t frames) {
  const size_t head = d->head.load(std::memory_order_relaxed);
  const size_t tail = d->tail.load(std::memory_order_acquire);
  const size_t samples = static_cast<size_t>(frames) * 2;
  if (d->ended.load(std::memory_order_relaxed)) return;
  if (d->ring.size() - (head - tail) < samples) {
    d->droppedFrames.fetch_add(static_cast<uint32_t>(frames), std::memory_order_relaxed);
    return;
  }
  const size_t mask = d->ring.size() - 1;
  for (size_t i = 0; i < samples; i++) {
    d->ring[(head + i) & mask] = static_cast<int16_t>(std::lrint(block[i] * 32767.0f));
  }
  d->head.store(head + samples, std::memory_order_release);
  d->wake.release();
}

uint32_t AudioDumpDroppedFrames(const AudioDump* d) { return d->droppedFrames.load(); }

bool AudioDumpFailed() { return DumpFailed.load(); }
