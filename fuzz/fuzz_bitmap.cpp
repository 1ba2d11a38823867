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

// A side of 0 asks for the picture's own.
void CheckLoaded(Surface* surface, bool decodes, const LoadedBitmap& bitmap, int32_t width = 0,
                 int32_t height = 0) {
  if ((surface != nullptr) != decodes) std::abort();
  if (surface != nullptr && (surface->width != (width == 0 ? bitmap.width : width) ||
                             surface->height != (height == 0 ? bitmap.height : height))) {
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

  // The file form is asked for a size chosen by the input's length, its own size among them, so
  // that the loader's stretching is met as well.
  const auto width = static_cast<int32_t>(size % 41), height = static_cast<int32_t>(size / 41 % 31);
  CheckLoaded(gf_DD_LoadBitmap(DisplayObject, ScratchFile(data, size), width, height), fileDecodes,
              file, width, height);
  // Frees the loaded surfaces with the display.
  gf_DD_Release(1);
  FakeClearDebugLines();
  return 0;
}
