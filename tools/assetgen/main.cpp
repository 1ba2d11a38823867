// assetgen OUTDIR: writes the sheet, the icon, the sound effects and the songs.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "assetgen.h"

namespace {
std::map<std::string, AssetWriter>& Writers() {
  static std::map<std::string, AssetWriter> writers;
  return writers;
}
}  // namespace

AssetWriterRegistration::AssetWriterRegistration(const char* name, AssetWriter writer) {
  Writers()[name] = writer;
}

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

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen OUTDIR\n");
    return 2;
  }
  const std::filesystem::path outDir = argv[1];
  for (const auto& [name, writer] : Writers()) {
    if (!writer(outDir)) {
      std::fprintf(stderr, "assetgen: %s failed\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
