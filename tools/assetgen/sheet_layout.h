// Where each picture of the sheet lives: the boxes that the game copies from.
#pragma once

struct SheetBox {
  const char* name;
  int x, y, w, h;
};

inline constexpr int SHEET_WIDTH = 319;
inline constexpr int SHEET_HEIGHT = 240;

// Start of each letter in the font's letter row, 'A' to 'Z', then the row's end. A letter's
// box is one column narrower than the distance to the next start.
inline constexpr int LETTER_START[27] = {0,   11,  22,  33,  44,  54,  64,  75,  87,
                                         95,  106, 118, 127, 142, 155, 165, 177, 188,
                                         199, 208, 218, 229, 240, 255, 266, 277, 288};
inline constexpr int LETTER_ROW_Y = 0;
inline constexpr int DIGIT_ROW_Y = 16;
inline constexpr int DIGIT_PITCH = 11;
inline constexpr int DIGIT_WIDTH = 10;
inline constexpr int GLYPH_HEIGHT = 16;

// Every picture box apart from the font's.
inline constexpr SheetBox TITLE_GREY{"title grey", 0, 32, 176, 48};
inline constexpr SheetBox TITLE_COLOUR{"title colour", 0, 80, 176, 64};
inline constexpr SheetBox MAKER_LOGO{"maker logo", 0, 144, 176, 32};
inline constexpr SheetBox GAME_OVER{"game over", 0, 176, 160, 32};
inline constexpr SheetBox RADAR_PANEL{"radar panel", 0, 208, 22, 32};
inline constexpr SheetBox SUN{"sun", 176, 32, 47, 47};
inline constexpr SheetBox EARTH{"earth", 224, 32, 47, 47};
inline constexpr SheetBox MOON{"moon", 272, 32, 47, 47};
inline constexpr SheetBox RED_OBJECT{"red object", 176, 80, 64, 48};
inline constexpr SheetBox GREEN_OBJECT{"green object", 240, 80, 64, 48};
inline constexpr SheetBox BLUE_OBJECT{"blue object", 176, 128, 64, 48};
inline constexpr SheetBox ROCK{"rock", 240, 128, 64, 48};
inline constexpr SheetBox EXPLOSION[4] = {{"explosion 0", 176, 176, 32, 32},
                                          {"explosion 1", 208, 176, 32, 32},
                                          {"explosion 2", 240, 176, 32, 32},
                                          {"explosion 3", 272, 176, 32, 32}};
inline constexpr SheetBox BOSS{"boss", 176, 208, 32, 32};
inline constexpr SheetBox SPARKLE[2] = {{"sparkle 0", 240, 208, 31, 31},
                                        {"sparkle 1", 272, 208, 31, 31}};
