// Scripted machine: resources supplied by tests, the built-in table, captured diagnostics.
#include <map>
#include <string>
#include <utility>

#include "platform/fake/fake_platform.h"
#include "platform/platform.h"
#include "platform/resources_common.h"

namespace {
std::map<std::pair<std::string, std::string>, std::vector<uint8_t>> TestResources;
bool UseEmbedded = true;
std::vector<std::string> DebugLines;
std::vector<std::string> NoticeLines;
}  // namespace

void FakeSetResource(const char* name, const char* type, std::vector<uint8_t> bytes) {
  TestResources[{name, type}] = std::move(bytes);
}

void FakeRemoveResource(const char* name, const char* type) { TestResources.erase({name, type}); }

void FakeUseEmbeddedResources(bool use) { UseEmbedded = use; }

const std::vector<std::string>& FakeDebugLines() { return DebugLines; }

void FakeClearDebugLines() {
  DebugLines.clear();
  NoticeLines.clear();
}

const std::vector<std::string>& FakeNoticeLines() { return NoticeLines; }

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  if (name == nullptr || type == nullptr) return false;
  const auto it = TestResources.find({name, type});
  if (it != TestResources.end()) {
    *data = it->second.data();
    *size = it->second.size();
    return true;
  }
  return UseEmbedded && FindEmbeddedResource(name, type, data, size);
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

void PlatformDebugOutput(const char* text) { DebugLines.emplace_back(text); }

void PlatformNotice(const char* text) { NoticeLines.emplace_back(text); }

void PlatformConfigure(const PlatformSettings&) {}
