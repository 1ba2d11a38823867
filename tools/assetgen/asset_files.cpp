// Where the generator's files go and how they are written.
#include <cstdio>
#include <fstream>

#include "assetgen.h"

std::filesystem::path ResourcePath(const std::filesystem::path& outDir, const char* type,
                                   const char* name) {
  return outDir / "resources" / type / name;
}

bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  f.close();  // the last flush can fail too
  if (!f) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}
