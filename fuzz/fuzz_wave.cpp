// Fuzzes the WAVE chunk walk on memory images and the effect loader's file path.
#include <cstdlib>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "scratch_file.h"
#include "sound/sound_bank.h"

namespace {
// Both outputs must lie inside the image.
void CheckInside(const uint8_t* image, size_t size, const uint8_t* p, uint32_t n) {
  if (p == nullptr) return;
  if (p < image || p + n > image + size) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so that any read past the end is caught.
  std::vector<uint8_t> image(data, data + size);
  const uint8_t* format = nullptr;
  const uint8_t* samples = nullptr;
  uint32_t formatBytes = 0, sampleBytes = 0;
  if (ParseWave(image.data(), static_cast<uint32_t>(image.size()), &format, &formatBytes,
                &samples, &sampleBytes) == 1) {
    CheckInside(image.data(), image.size(), format, formatBytes);
    CheckInside(image.data(), image.size(), samples, sampleBytes);
    if (formatBytes < 14 || samples == nullptr) std::abort();
  }

  if (!SoundReady && SoundInit(nullptr) != 1) std::abort();
  SoundRecord record{};
  SoundLoad(&record, ScratchFile(data, size), 2);
  SoundPlay(&record);
  SoundPlay(&record);
  FakeAudioRender(256);
  for (PlatformSoundBuffer* v : record.voices) PlatformSoundRelease(v);
  // The scripted device logs every call for the tests; kept over millions of inputs, that log
  // was what made this target's memory climb.
  FakeClearSoundCalls();
  return 0;
}
