// Puts the pictures together into the sheet "BMP_00" and writes it as a resource and as a file.
#include <cstdio>
#include <map>

#include "assetgen.h"
#include "sheet_art.h"

namespace {
constexpr int ROW_BYTES = 320;  // 319 pixels padded to a multiple of four
constexpr int INFO_HEADER_BYTES = 40;
constexpr int FILE_HEADER_BYTES = 14;
constexpr int TABLE_ENTRIES = 256;

void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

uint32_t PackRgb(Rgb c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }
}  // namespace

Canvas BuildSheetPicture() {
  Canvas sheet(SHEET_WIDTH, SHEET_HEIGHT);
  Paste(sheet, DrawFontRows(), 0, 0);
  const struct {
    const SheetBox& box;
    Canvas (*draw)();
  } pictures[] = {
      {TITLE_GREY, DrawTitleGrey},
      {TITLE_COLOUR, DrawTitleColour},
      {MAKER_LOGO, DrawMakerLogo},
      {GAME_OVER, DrawGameOver},
      {SUN, DrawSun},
      {EARTH, DrawEarth},
      {MOON, DrawMoon},
      {RED_OBJECT, DrawRedObject},
      {GREEN_OBJECT, DrawGreenObject},
      {BLUE_OBJECT, DrawBlueObject},
      {ROCK, DrawRock},
      {BOSS, DrawBoss},
  };
  for (const auto& p : pictures) Paste(sheet, p.draw(), p.box.x, p.box.y);
  for (int f = 0; f < 4; ++f) Paste(sheet, DrawExplosion(f), EXPLOSION[f].x, EXPLOSION[f].y);
  for (int k = 0; k < 2; ++k) Paste(sheet, DrawSparkle(k), SPARKLE[k].x, SPARKLE[k].y);
  // The radar panel is painted by the battle at run time; the bitmap leaves it black.
  return sheet;
}

std::vector<Rgb> SheetColourTable() {
  std::vector<Rgb> table(TABLE_ENTRIES, BLACK);
  // Entry k of the cube (k = 1..235; k = 0 is black again) sits at k, white after it.
  for (int k = 1; k < 236; ++k) {
    table[k] = Rgb{static_cast<uint8_t>(RedGreenLevel((k >> 5) & 7)),
                   static_cast<uint8_t>(RedGreenLevel((k >> 2) & 7)),
                   static_cast<uint8_t>(BlueLevel(k & 3))};
  }
  table[236] = WHITE;
  return table;
}

std::vector<uint8_t> EncodeSheetResource(const Canvas& sheet) {
  const std::vector<Rgb> table = SheetColourTable();
  std::map<uint32_t, uint8_t> indexOf;
  for (int i = TABLE_ENTRIES - 1; i >= 0; --i) indexOf[PackRgb(table[i])] = static_cast<uint8_t>(i);

  std::vector<uint8_t> out;
  out.reserve(INFO_HEADER_BYTES + TABLE_ENTRIES * 4 + ROW_BYTES * SHEET_HEIGHT);
  PutLe32(out, INFO_HEADER_BYTES);
  PutLe32(out, SHEET_WIDTH);
  PutLe32(out, SHEET_HEIGHT);  // positive: bottom row first
  PutLe16(out, 1);             // planes
  PutLe16(out, 8);             // bits per pixel
  PutLe32(out, 0);             // no compression
  PutLe32(out, 0);             // image size, implied
  PutLe32(out, 2834);          // 72 dots per inch
  PutLe32(out, 2834);
  PutLe32(out, 0);  // colours used: the full table
  PutLe32(out, 0);  // colours important: all
  for (const Rgb& c : table) {
    out.insert(out.end(), {c.b, c.g, c.r, 0});
  }
  for (int y = SHEET_HEIGHT - 1; y >= 0; --y) {
    for (int x = 0; x < SHEET_WIDTH; ++x) {
      // Every picture draws from the table's colours; anything else would be a drawing bug.
      const auto it = indexOf.find(PackRgb(sheet.At(x, y)));
      out.push_back(it == indexOf.end() ? 0 : it->second);
    }
    out.push_back(0);
  }
  return out;
}

std::vector<uint8_t> EncodeSheetFile(const Canvas& sheet) {
  const std::vector<uint8_t> body = EncodeSheetResource(sheet);
  std::vector<uint8_t> out{'B', 'M'};
  PutLe32(out, static_cast<uint32_t>(FILE_HEADER_BYTES + body.size()));
  PutLe32(out, 0);  // two reserved words
  PutLe32(out, FILE_HEADER_BYTES + INFO_HEADER_BYTES + TABLE_ENTRIES * 4);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

bool WriteSheet(const std::filesystem::path& outDir) {
  const Canvas sheet = BuildSheetPicture();
  for (const Rgb& c : sheet.pixels) {
    if (!IsPaletteColour(c)) {
      std::fprintf(stderr, "assetgen: sheet colour %d,%d,%d is not a palette colour\n", c.r, c.g,
                   c.b);
      return false;
    }
  }
  return WriteFileBytes(ResourcePath(outDir, "BITMAP", "BMP_00"), EncodeSheetResource(sheet)) &&
         WriteFileBytes(outDir / "BMP_00", EncodeSheetFile(sheet));
}
