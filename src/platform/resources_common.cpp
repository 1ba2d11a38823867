// The embedded resource table, the executable's folder and file checks, for either machine.
#include "platform/resources_common.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/embedded_resources.h"

bool FindEmbeddedResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  if (name == nullptr || type == nullptr) return false;
  for (const EmbeddedResource* r = EmbeddedResources; r->name != nullptr; ++r) {
    if (std::strcmp(r->name, name) == 0 && std::strcmp(r->type, type) == 0) {
      *data = r->data;
      *size = r->size;
      return true;
    }
  }
  return false;
}

#ifdef _WIN32
// Windows: the module's own path, in UTF-8 like every other path the game handles.
const char* ExecutableDirFromProc() {
  static std::string dir = [] {
    std::wstring wide(32768, L'\0');  // the longest path Windows allows
    const DWORD n = GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0 || n >= wide.size()) return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(n), nullptr, 0,
                                          nullptr, nullptr);
    std::string path(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(n), path.data(), bytes, nullptr,
                        nullptr);
    return path.substr(0, path.find_last_of("\\/") + 1);
  }();
  return dir.c_str();
}
#else
const char* ExecutableDirFromProc() {
  static std::string dir = [] {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return std::string();
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
  }();
  return dir.c_str();
}
#endif

bool FileExists(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

namespace {
// $name/zizid-ozavav when $name is an absolute path, else $HOME/fallback/zizid-ozavav.
std::string XdgFolder(const char* name, const char* fallback) {
  const char* dir = std::getenv(name);
  if (dir != nullptr && dir[0] == '/') return std::string(dir) + "/zizid-ozavav";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/" + fallback + "/zizid-ozavav";
}
}  // namespace

const char* XdgSettingsFolder() {
  static std::string folder;
  folder = XdgFolder("XDG_CONFIG_HOME", ".config");
  return folder.c_str();
}

const char* XdgStateFolder() {
  static std::string folder;
  folder = XdgFolder("XDG_STATE_HOME", ".local/state");
  return folder.c_str();
}
