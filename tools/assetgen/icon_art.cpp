// The window icon "ICN_01": the earth globe with the moon in front of it.
//
// Resource format: an icon file with one image. Directory (reserved 0, type 1, count 1), one
// 16-byte entry (48, 48, 0 colours, 0, planes 1, 32 bits, 9,640 bytes, offset 22), then the
// image: a 40-byte information header whose height (96) counts colour rows and mask rows, 48
// bottom-up rows of 48 pixels (blue, green, red, alpha: 0 clear, 255 opaque) and 48 bottom-up
// rows of the 1-bit mask (1 = clear), each padded to 8 bytes. 9,662 bytes in all.
// The desktop entry's icons show the same globes, drawn afresh at each size of the icon theme as
// OUT/icons/hicolor/NxN/apps/zizid-ozavav.png, laid out as they are installed.
#include <algorithm>
#include <string>

#include "assetgen.h"
#include "png_writer.h"
#include "sheet_art.h"

namespace {
constexpr int ICON_SIZE = 48;
constexpr int DESKTOP_SIZES[] = {16, 24, 32, 48, 64, 128, 256};

// The desktop layout in 4096ths of the side: the earth near the top left, the moon in front of
// its lower right, parted from it by a gap so that the two still read apart at 16 pixels.
constexpr int SIDE = 4096;
constexpr int EARTH_CENTRE = 1920, EARTH_RADIUS = 1792;
constexpr int MOON_CENTRE = 3200, MOON_RADIUS = 725, MOON_GAP = 110;
// The sheet's 47x47 moon box in sixteenths of a pixel, where the craters are placed.
constexpr int BOX_CENTRE = 47 * 8, BOX_RADIUS = 47 * 8 - 6;
constexpr Rgb OUTLINE = Cube(0, 0, 1);
// Samples across the whole icon at the least; more at the large sizes keep their rims smooth.
constexpr int SAMPLES_ACROSS = 256;

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The earth at its sheet size, with the moon shrunk to a third tucked into the lower right.
Canvas IconPicture() {
  Canvas icon(ICON_SIZE, ICON_SIZE);
  Paste(icon, DrawEarth(), 0, 0);
  const Canvas moon = DrawMoon();
  constexpr int MOON_SIZE = 18;
  for (int y = 0; y < MOON_SIZE; ++y) {
    for (int x = 0; x < MOON_SIZE; ++x) {
      const Rgb c = moon.At(x * 47 / MOON_SIZE, y * 47 / MOON_SIZE);
      if (!(c == BLACK)) icon.Set(ICON_SIZE - MOON_SIZE + x, ICON_SIZE - MOON_SIZE + y, c);
    }
  }
  return icon;
}

std::vector<uint8_t> EncodeIcon(const Canvas& icon) {
  constexpr int MASK_ROW = 8;  // 48 bits padded to a multiple of four bytes
  constexpr int IMAGE_BYTES = 40 + ICON_SIZE * ICON_SIZE * 4 + ICON_SIZE * MASK_ROW;
  std::vector<uint8_t> out;
  PutLe(out, 0, 2);
  PutLe(out, 1, 2);  // an icon, not a cursor
  PutLe(out, 1, 2);  // one image
  out.insert(out.end(), {ICON_SIZE, ICON_SIZE, 0, 0});
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, IMAGE_BYTES, 4);
  PutLe(out, 22, 4);

  PutLe(out, 40, 4);
  PutLe(out, ICON_SIZE, 4);
  PutLe(out, 2 * ICON_SIZE, 4);  // colour rows and mask rows together
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, 0, 4);
  PutLe(out, IMAGE_BYTES - 40, 4);
  PutLe(out, 2834, 4);
  PutLe(out, 2834, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = ICON_SIZE - 1; y >= 0; --y) {
    for (int x = 0; x < ICON_SIZE; ++x) {
      const Rgb c = icon.At(x, y);
      out.insert(out.end(), {c.b, c.g, c.r, static_cast<uint8_t>(c == BLACK ? 0 : 255)});
    }
  }
  for (int y = ICON_SIZE - 1; y >= 0; --y) {
    uint8_t row[MASK_ROW] = {};
    for (int x = 0; x < ICON_SIZE; ++x) {
      if (icon.At(x, y) == BLACK) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    out.insert(out.end(), row, row + MASK_ROW);
  }
  return out;
}

// The desktop picture at (px, py), in 4096ths of the side: false where it is clear. `rim` is
// the width of one pixel: the globes' outlines in the dark of the sea keep the small sizes crisp
// on light backgrounds.
bool DesktopSample(int px, int py, int rim, Rgb* colour) {
  const SpherePoint moon = SphereAtPoint(px, py, MOON_CENTRE, MOON_CENTRE, MOON_RADIUS);
  if (moon.inside) {
    if (!SphereAtPoint(px, py, MOON_CENTRE, MOON_CENTRE, MOON_RADIUS - rim).inside) {
      *colour = OUTLINE;
      return true;
    }
    const int bx = BOX_CENTRE + (px - MOON_CENTRE) * BOX_RADIUS / MOON_RADIUS;
    const int by = BOX_CENTRE + (py - MOON_CENTRE) * BOX_RADIUS / MOON_RADIUS;
    const Shade shade = MoonShade(moon, bx, by);
    *colour = RampBlend(shade.ramp, shade.v);
    return true;
  }
  if (SphereAtPoint(px, py, MOON_CENTRE, MOON_CENTRE, MOON_RADIUS + MOON_GAP).inside) return false;
  const SpherePoint earth = SphereAtPoint(px, py, EARTH_CENTRE, EARTH_CENTRE, EARTH_RADIUS);
  if (!earth.inside) return false;
  if (!SphereAtPoint(px, py, EARTH_CENTRE, EARTH_CENTRE, EARTH_RADIUS - rim).inside) {
    *colour = OUTLINE;
    return true;
  }
  const Shade shade = EarthShade(earth);
  *colour = RampBlend(shade.ramp, shade.v);
  return true;
}

// The desktop icon at `size` pixels square as RGBA: each pixel the mean of a grid of samples, so
// the small sizes show the globes' colours rather than a noise of single samples, and every
// rim fades into the clear background.
std::vector<uint8_t> DesktopIcon(int size) {
  const int grid = std::max(4, SAMPLES_ACROSS / size), across = size * grid;
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int r = 0, g = 0, b = 0, covered = 0;
      for (int j = 0; j < grid; ++j) {
        for (int i = 0; i < grid; ++i) {
          Rgb c;
          const int px = ((x * grid + i) * 2 + 1) * SIDE / (2 * across);
          const int py = ((y * grid + j) * 2 + 1) * SIDE / (2 * across);
          if (!DesktopSample(px, py, SIDE / size, &c)) continue;
          r += c.r, g += c.g, b += c.b, ++covered;
        }
      }
      if (covered == 0) {
        rgba.insert(rgba.end(), {0, 0, 0, 0});
        continue;
      }
      const auto mean = [covered](int sum) {
        return static_cast<uint8_t>((sum + covered / 2) / covered);
      };
      const int all = grid * grid;
      rgba.insert(rgba.end(), {mean(r), mean(g), mean(b),
                               static_cast<uint8_t>((covered * 255 + all / 2) / all)});
    }
  }
  return rgba;
}

}  // namespace

bool WriteIcon(const std::filesystem::path& outDir) {
  if (!WriteFileBytes(ResourcePath(outDir, "ICON", "ICN_01"), EncodeIcon(IconPicture())))
    return false;
  for (const int size : DESKTOP_SIZES) {
    const std::string side = std::to_string(size);
    const std::filesystem::path dir = outDir / "icons" / "hicolor" / (side + "x" + side) / "apps";
    if (!WriteRgbaPng(dir / "zizid-ozavav.png", size, size, DesktopIcon(size))) return false;
  }
  return true;
}

