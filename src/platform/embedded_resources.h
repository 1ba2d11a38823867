// The resources built into the executable: the sheet, the icon and the sound effects.
#pragma once
#include <cstddef>

struct EmbeddedResource {
  const char* name;  // "BMP_00", "ICN_01", "WAV_00" ...
  const char* type;  // "BITMAP", "ICON", "WAVE"
  const unsigned char* data;
  size_t size;
};

// Ended by an entry whose name is null; generated at build time.
extern const EmbeddedResource EmbeddedResources[];
