// Review pictures of the sheet: the contact sheet (3x, boxes outlined) and mock-up screens,
// written as PNG into OUT/review/ for a person to look at; after a build, open
// BUILD/assets/review/contact_sheet.png in any image viewer. Nothing of the game reads them.
// The sheet holds only black, white and cube colours (its writer refuses others), so the
// colours shown are already the ones the game's palette conversion gives.
#include <array>
#include <cstdio>
#include <string_view>

#include "assetgen.h"
#include "png_writer.h"
#include "sheet_art.h"

namespace {
// ---- The game's way of drawing, reduced to what a mock-up needs.
// Stretched copy that leaves out black, as the game's blit with the sheet's colour key does.
void Blit(Canvas& dst, const Canvas& sheet, SheetBox src, int dx, int dy, int dw, int dh) {
  for (int y = 0; y < dh; ++y) {
    for (int x = 0; x < dw; ++x) {
      const Rgb c = sheet.At(src.x + x * src.w / dw, src.y + y * src.h / dh);
      if (!(c == BLACK)) dst.Set(dx + x, dy + y, c);
    }
  }
}

void Text(Canvas& dst, const Canvas& sheet, std::string_view text, int x, int y) {
  for (char ch : text) {
    if (ch >= 'A' && ch <= 'Z') {
      const int i = ch - 'A', w = LETTER_START[i + 1] - LETTER_START[i] - 1;
      Blit(dst, sheet, {"", LETTER_START[i], LETTER_ROW_Y, w, GLYPH_HEIGHT}, x, y, w, GLYPH_HEIGHT);
      x += w;
    } else if (ch >= '0' && ch <= '9') {
      Blit(dst, sheet, {"", DIGIT_PITCH * (ch - '0'), DIGIT_ROW_Y, DIGIT_WIDTH, GLYPH_HEIGHT}, x, y,
           DIGIT_WIDTH + 1, GLYPH_HEIGHT);
      x += DIGIT_WIDTH;
    } else if (ch == ' ') {
      x += 8;
    }
  }
}

void Stars(Canvas& dst, const Canvas& sheet, uint32_t seed) {
  for (int i = 0; i < 32; ++i) {
    const uint32_t h = HashPoint(i, 0, seed);
    const int size = 17 + static_cast<int>(h % 16);
    Blit(dst, sheet, SPARKLE[(h >> 4) & 1], static_cast<int>((h >> 8) % 330) - 10,
         static_cast<int>((h >> 17) % 250) - 10, size, size);
  }
}

void Mesh(Canvas& dst, int x0, int y0, int w, int h, Rgb colour) {
  for (int y = y0; y < y0 + h; y += 2) {
    for (int x = x0; x < x0 + w; x += 2) dst.Set(x, y, colour);
  }
}

Canvas Enlarge(const Canvas& src, int k) {
  Canvas out(src.width * k, src.height * k);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.Set(x, y, src.At(x / k, y / k));
  }
  return out;
}

void Frame(Canvas& c, int x, int y, int w, int h, Rgb colour) {
  for (int i = x; i < x + w; ++i) {
    c.Set(i, y, colour);
    c.Set(i, y + h - 1, colour);
  }
  for (int j = y; j < y + h; ++j) {
    c.Set(x, j, colour);
    c.Set(x + w - 1, j, colour);
  }
}

Canvas ContactSheet(const Canvas& sheet) {
  constexpr int k = 3;
  Canvas out = Enlarge(sheet, k);
  constexpr Rgb BOX_COLOUR = Cube(3, 2, 3);
  auto outline = [&](SheetBox b) {
    Frame(out, b.x * k - 1, b.y * k - 1, b.w * k + 2, b.h * k + 2, BOX_COLOUR);
  };
  for (int i = 0; i < 26; ++i) {
    outline({"", LETTER_START[i], LETTER_ROW_Y, LETTER_START[i + 1] - LETTER_START[i] - 1, 16});
  }
  for (int d = 0; d < 10; ++d) outline({"", DIGIT_PITCH * d, DIGIT_ROW_Y, DIGIT_WIDTH, 16});
  for (SheetBox b : {TITLE_GREY, TITLE_COLOUR, MAKER_LOGO, GAME_OVER, RADAR_PANEL, SUN, EARTH, MOON,
                     RED_OBJECT, GREEN_OBJECT, BLUE_OBJECT, ROCK, BOSS}) {
    outline(b);
  }
  for (SheetBox b : EXPLOSION) outline(b);
  for (SheetBox b : SPARKLE) outline(b);
  return out;
}

// The title screen as the game composes it at a given frame, doubled to window size.
Canvas TitleMock(const Canvas& sheet, int shakeX, int swayY) {
  Canvas s(320, 240);
  Stars(s, sheet, 3);
  Blit(s, sheet, TITLE_GREY, 72, 64, 176, 48);
  Blit(s, sheet, SUN, 160, 124, 47, 47);
  Blit(s, sheet, EARTH, 216, 180, 47, 47);
  Blit(s, sheet, MOON, 240, 150, 47, 47);
  Text(s, sheet, "DURUZ DAZORA", 102, 112);
  Blit(s, sheet, TITLE_COLOUR, 72 + shakeX, 56 + swayY, 176, 64);
  Text(s, sheet, "HI SCORE 020000    SCORE 000000", 16, 2);
  Text(s, sheet, "PLEASE PRESS START", 80, 160);
  return Enlarge(s, 2);
}

// A battle frame with every kind of object, the HUD and the radar.
Canvas BattleMock(const Canvas& sheet) {
  Canvas s(320, 240);
  Stars(s, sheet, 9);
  for (int x = 0; x < 320; ++x) s.Set(x, 130, Cube(0, 1, 2));
  for (int y = 0; y < 240; ++y) s.Set(160, y, Cube(0, 1, 2));
  const SheetBox cells[4] = {RED_OBJECT, GREEN_OBJECT, BLUE_OBJECT, ROCK};
  for (int r = 0; r < 5; ++r) {
    for (int col = 0; col < 5; ++col) {
      const uint32_t h = HashPoint(col, r, 17);
      if (h % 5 == 4 || (r == 2 && col == 2)) continue;
      const SheetBox b = cells[h % 4];
      const int pw = b.w == ROCK.w && b.y == ROCK.y ? 100 : 61 + static_cast<int>(h >> 8) % 39;
      const int ph = b.y == ROCK.y && b.x == ROCK.x ? 100 : 61 + static_cast<int>(h >> 16) % 39;
      const int jx = b.x == ROCK.x && b.y == ROCK.y ? 0 : static_cast<int>(h >> 3) & 7;
      Blit(s, sheet, b, 64 * col + jx, 48 * r + 16 + (static_cast<int>(h >> 6) & 7), b.w * pw / 100,
           b.h * ph / 100);
    }
  }
  Blit(s, sheet, EARTH, 137, 107, 47, 47);
  Blit(s, sheet, BOSS, 230, 150, 32, 32);
  for (int f = 0; f < 4; ++f) Blit(s, sheet, EXPLOSION[f], 20 + 36 * f, 180, 32, 32);
  Mesh(s, 0, 0, 319, 16, WHITE);
  Mesh(s, 0, 223, 319, 16, WHITE);
  Text(s, sheet, "SCORE 1230", 4, 0);
  Text(s, sheet, "TIME 4321", 136, 0);
  Text(s, sheet, "SPEED 3", 4, 224);
  Text(s, sheet, "ENELGY 999", 112, 224);
  Text(s, sheet, "TERA", 240, 224);
  Frame(s, 292, 186, 22, 32, Cube(0, 2, 2));
  s.Set(303, 193, WHITE);
  return Enlarge(s, 2);
}

// The scenes that show globes and lettering large: the ending's earth, the briefing, game over.
Canvas ScenesMock(const Canvas& sheet) {
  Canvas s(320, 240);
  Stars(s, sheet, 5);
  Blit(s, sheet, SUN, -80, -64, 188, 188);
  Blit(s, sheet, EARTH, 150, 40, 188, 188);
  Blit(s, sheet, MOON, 100, 150, 94, 94);
  Blit(s, sheet, MAKER_LOGO, 72, 100, 176, 32);
  Blit(s, sheet, GAME_OVER, 80, 150, 160, 32);
  Blit(s, sheet, GAME_OVER, 80, 190, 160, 12);
  return Enlarge(s, 2);
}

}  // namespace

bool WriteContactSheet(const std::filesystem::path& outDir) {
  const Canvas sheet = BuildSheetPicture();
  const std::filesystem::path dir = outDir / "review";
  return WritePng(dir / "contact_sheet.png", ContactSheet(sheet)) &&
         WritePng(dir / "title_rest.png", TitleMock(sheet, 0, 0)) &&
         WritePng(dir / "title_shaken.png", TitleMock(sheet, 23, -9)) &&
         WritePng(dir / "battle.png", BattleMock(sheet)) &&
         WritePng(dir / "scenes.png", ScenesMock(sheet));
}

