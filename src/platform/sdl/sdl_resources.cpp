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

const char* PlatformSettingsFolder() { return XdgSettingsFolder(); }

const char* PlatformStateFolder() { return XdgStateFolder(); }

void PlatformDebugOutput(const char* text) {
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

void PlatformAttachTerminal() {}  // a terminal program has its output already

void PlatformConfigure(const PlatformSettings& settings) { SdlSettings = settings; }
