// Real machine: built-in resources, the program's folder, diagnostics and settings.
#include <cstdio>

#include "platform/platform.h"
#include "platform/resources_common.h"
#include "platform/sdl/sdl_settings.h"

PlatformSettings SdlSettings;

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  return FindEmbeddedResource(name, type, data, size);
}

const char* PlatformExecutableDir() { return ExecutableDirFromProc(); }

void PlatformDebugOutput(const char* text) {
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

void PlatformConfigure(const PlatformSettings& settings) { SdlSettings = settings; }
