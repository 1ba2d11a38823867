// The settings file: its line reader and every key's reader, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  GameSettings settings = DefaultSettings();
  std::vector<std::string> problems;
  ReadSettingsText(text, &settings, &problems);
  ApplySettings(settings);
  return 0;
}
