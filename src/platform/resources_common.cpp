// The embedded resource table, the executable's folder and file checks, for either machine.
#include "platform/resources_common.h"

#include <unistd.h>

#include <cstdio>
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

bool FileExists(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}
