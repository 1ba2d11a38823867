// Scripted machine: resources supplied by tests, the built-in table, captured diagnostics.
#include <map>
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

const char* PlatformSettingsFolder() { return XdgSettingsFolder(); }

const char* PlatformStateFolder() { return XdgStateFolder(); }

void PlatformDebugOutput(const char* text) { DebugLines.emplace_back(text); }

void PlatformNotice(const char* text) { NoticeLines.emplace_back(text); }

void PlatformAttachTerminal() {}  // a terminal program has its output already

void PlatformConfigure(const PlatformSettings&) {}
