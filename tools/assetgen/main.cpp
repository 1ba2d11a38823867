// assetgen OUTDIR: writes the sheet, the icon, the sound effects and the songs.
#include <cstdio>

#include "assetgen.h"

namespace {
const struct {
  const char* name;
  AssetWriter write;
} WRITERS[] = {
    {"contact_sheet", WriteContactSheet}, {"effects", WriteEffects}, {"icon", WriteIcon},
    {"sheet", WriteSheet},                {"songs", WriteSongs},
};
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: assetgen OUTDIR\n");
    return 2;
  }
  const std::filesystem::path outDir = argv[1];
  for (const auto& writer : WRITERS) {
    if (!writer.write(outDir)) {
      std::fprintf(stderr, "assetgen: %s failed\n", writer.name);
      return 1;
    }
  }
  return 0;
}
