// The hi-score kept between runs: a line with one whole number, in units of ten as the game keeps it.
#include "app/kept_high_score.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {
// Anything a 32-bit score can reach; more is no score of this game.
constexpr long MAX_SCORE = 2147483647;
}  // namespace

bool LoadKeptHighScore(const std::string& folder, int32_t* score, std::string* error) {
  error->clear();
  std::FILE* f = std::fopen((std::filesystem::path(folder) / "hiscore").string().c_str(), "rb");
  if (f == nullptr) {
    if (errno != ENOENT) *error = std::strerror(errno);
    return false;
  }
  char text[32] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[n] = '\0';
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  while (*end == '\n' || *end == '\r' || *end == ' ') ++end;
  if (n == 0 || text[0] < '0' || text[0] > '9' || *end != '\0' || errno != 0 || value > MAX_SCORE) {
    *error = "not a hi-score";
    return false;
  }
  *score = static_cast<int32_t>(value);
  return true;
}

bool SaveKeptHighScore(const std::string& folder, int32_t score, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  const std::filesystem::path path = std::filesystem::path(folder) / "hiscore";
  const std::string temporary = path.string() + ".new";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (f == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  const bool written = std::fprintf(f, "%d\n", static_cast<int>(score)) > 0;
  // Not std::rename: Windows' C library refuses to replace the file a first run kept.
  if (std::fclose(f) == 0 && written) {
    std::filesystem::rename(temporary, path, ec);
    if (!ec) return true;
    *error = ec.message();
  } else {
    *error = std::strerror(errno);
  }
  std::remove(temporary.c_str());
  return false;
}
