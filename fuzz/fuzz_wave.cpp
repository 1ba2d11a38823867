// Fuzzes the WAVE chunk walk on memory images and the effect loader's file path.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

namespace {
// Both outputs must lie inside the image.
void CheckInside(const uint8_t* image, size_t size, const uint8_t* p, uint32_t n) {
  if (p == nullptr) return;
  if (p < image || p + n > image + size) std::abort();
}

const std::string& ScratchPath() {
  static const std::string path = "/tmp/fuzz_wave_" + std::to_string(getpid()) + ".wav";
  return path;
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
  std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  SoundRecord record{};
  SoundLoad(&record, ScratchPath().c_str(), 2);
  SoundPlay(&record);
  SoundPlay(&record);
  FakeAudioRender(256);
  for (PlatformSoundBuffer* v : record.voices) PlatformSoundRelease(v);
  std::remove(ScratchPath().c_str());
  return 0;
}
