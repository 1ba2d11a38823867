// Real machine: built-in resources, the program's folder, diagnostics and settings.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/resources_common.h"
#include "platform/sdl/sdl_settings.h"

PlatformSettings SdlSettings;

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  return FindEmbeddedResource(name, type, data, size);
}

const char* PlatformExecutableDir() { return ExecutableDirFromProc(); }

// Read again at every call: the environment decides, and tests change it.
const char* PlatformSettingsFolder() {
  static std::string folder;
  folder = XdgFolder("XDG_CONFIG_HOME", ".config");
  return folder.c_str();
}

const char* PlatformStateFolder() {
  static std::string folder;
  folder = XdgFolder("XDG_STATE_HOME", ".local/state");
  return folder.c_str();
}

void PlatformDebugOutput(const char* text) {
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

void PlatformConfigure(const PlatformSettings& settings) { SdlSettings = settings; }
