// Fuzzes the bitmap decoder and the sheet loader in both forms: resource and bitmap file.
#include <cstdlib>
#include <vector>

#include "gfx/display.h"
#include "gfx/sheet.h"
#include "platform/fake/fake_platform.h"
#include "scratch_file.h"

namespace {

// A decoded picture must be whole: every row present and every pixel an index. Whether it
// decodes, and its size, are what the loader must agree with.
bool Decode(const std::vector<uint8_t>& image, bool fileHeader, LoadedBitmap* bitmap) {
  if (!DecodeBitmap(image.data(), image.size(), fileHeader, bitmap)) return false;
  if (bitmap->width < 1 || bitmap->height < 1) std::abort();
  if (bitmap->pixels.size() != static_cast<size_t>(bitmap->width) * bitmap->height) std::abort();
  if (bitmap->pixels.size() > image.size()) std::abort();
  return true;
}

void CheckLoaded(Surface* surface, bool decodes, const LoadedBitmap& bitmap) {
  if ((surface != nullptr) != decodes) std::abort();
  if (surface != nullptr && (surface->width != bitmap.width || surface->height != bitmap.height)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so that any read past the end is caught.
  const std::vector<uint8_t> image(data, data + size);
  LoadedBitmap resource, file;
  const bool resourceDecodes = Decode(image, false, &resource);
  const bool fileDecodes = Decode(image, true, &file);

  FakeUseEmbeddedResources(false);
  if (gf_DD_Startup() != 1) std::abort();
  FakeSetResource("FUZZ", "BITMAP", image);
  CheckLoaded(gf_DD_LoadBitmap(DisplayObject, "FUZZ", 0, 0), resourceDecodes, resource);
  FakeRemoveResource("FUZZ", "BITMAP");

  CheckLoaded(gf_DD_LoadBitmap(DisplayObject, ScratchFile(data, size), 0, 0), fileDecodes, file);
  // Frees the loaded surfaces with the display.
  gf_DD_Release(1);
  FakeClearDebugLines();
  return 0;
}
