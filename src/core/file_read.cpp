// Reading a whole file into memory, up to a size the caller names.
#include "core/file_read.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {
bool Fail(std::string* reason, const std::string& why) {
  if (reason != nullptr) *reason = why;
  return false;
}
}  // namespace

bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes,
                   std::string* reason) {
  bytes->clear();
  const std::string tooLarge = std::string(path) + " is too large";
  std::error_code ec;
  // A regular file says its size, so a huge one is refused before any of it is read.
  if (std::filesystem::is_regular_file(path, ec) &&
      std::filesystem::file_size(path, ec) > maxBytes && !ec)
    return Fail(reason, tooLarge);
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return Fail(reason, std::string("cannot open ") + path);
  uint8_t chunk[65536];
  size_t n = 0;
  while (bytes->size() <= maxBytes &&
         (n = std::fread(chunk, 1, std::min(sizeof chunk, maxBytes + 1 - bytes->size()), f)) > 0)
    bytes->insert(bytes->end(), chunk, chunk + n);
  const bool readFailed = std::ferror(f) != 0;
  std::fclose(f);
  if (readFailed) return Fail(reason, std::string("cannot read ") + path);
  if (bytes->size() > maxBytes) return Fail(reason, tooLarge);
  return true;
}
