// Recording the mixed output to a WAVE file: the audio callback copies each block into a ring
// and a writer thread drains the ring to the file, so the callback never waits on the disk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

struct AudioDump;
struct AudioDumpFinish {
  void operator()(AudioDump* d) const;  // stops the writer, writes the rest, closes the file
};
using AudioDumpPtr = std::unique_ptr<AudioDump, AudioDumpFinish>;

constexpr size_t AUDIO_DUMP_RING_SAMPLES = size_t{1} << 19;  // about 6 s of 44.1 kHz stereo

// Makes the file (16-bit stereo at `rate`) and starts the writer; null, told on standard error,
// when the file cannot be made. ringSamples must be a power of two.
AudioDumpPtr AudioDumpStart(const char* path, int32_t rate,
                            size_t ringSamples = AUDIO_DUMP_RING_SAMPLES);

// From the audio callback: copies `frames` interleaved stereo frames (-1..1) without waiting.
// A block that does not fit in the ring is dropped and counted.
void AudioDumpFeed(AudioDump* d, const float* block, int32_t frames);

uint32_t AudioDumpDroppedFrames(const AudioDump* d);
bool AudioDumpFailed();  // sticky: some dump could not be written, so the exit code can tell
