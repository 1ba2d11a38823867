// A battle on the scripted machine: surfaces with a known sheet, fresh state, recorded sounds.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/frame_cycle.h"
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/explosions.h"
#include "battle/star_field.h"
#include "core/math_helpers.h"
#include "gfx/font_text.h"
#include "gfx/surface.h"
#include "music/music_player.h"
#include "music/smf_reader.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"
#include "support/played.h"

// Colours the test sheet paints its pictures in, so that a screen pixel tells which one it is.
namespace sheet_colour {
constexpr uint8_t GLOBE[3] = {101, 102, 103};
constexpr uint8_t CELL[4] = {111, 112, 113, 114};
constexpr uint8_t BOSS = 120;
constexpr uint8_t EXPLOSION[4] = {131, 132, 133, 134};
constexpr uint8_t STAR[2] = {141, 142};
// The font rows carry a column pattern so that different glyphs look different.
inline uint8_t Font(int32_t x) { return static_cast<uint8_t>(150 + x % 40); }
}  // namespace sheet_colour

// The game's generator, kept apart from it so that expectations stand alone.
inline int32_t NextOf(uint32_t* seed) { return static_cast<int32_t>(*seed = *seed * 5 + 1); }

class BattleTest : public testing::Test {
 protected:
  void SetUp() override {
    screen_ = CreateSurface(320, 240);
    sheet_ = CreateSurface(319, 240);
    ASSERT_NE(screen_, nullptr);
    ASSERT_NE(sheet_, nullptr);
    screenClip_.rect = Box{0, 0, 320, 240};
    screen_->clipper = &screenClip_;
    sheet_->hasColorKey = true;
    sheet_->colorKey = 0;
    PaintTestSheet();
    ScreenSurface = screen_;
    SheetSurface = sheet_;
    ResetGame();
    // The services start once per program, as the first frame does.
    static const bool started = [] {
      MusicInit();
      SoundInit(nullptr);
      LoadSoundEffects();
      return true;
    }();
    ASSERT_TRUE(started);
    FakeClearSoundCalls();
  }

  void TearDown() override {
    ScreenSurface = nullptr;
    SheetSurface = nullptr;
    ReleaseSurface(screen_);
    ReleaseSurface(sheet_);
  }

  static void Fill(Surface* s, Box b, uint8_t colour) {
    for (int32_t y = b.y; y < b.y + b.h; ++y)
      for (int32_t x = b.x; x < b.x + b.w; ++x) s->pixels[y * s->pitch + x] = colour;
  }

  void PaintTestSheet() {
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 319; ++x)
        sheet_->pixels[y * sheet_->pitch + x] = sheet_colour::Font(x);
    for (int32_t k = 0; k < 4; ++k) {
      if (k < 3) Fill(sheet_, Box{176 + 48 * k, 32, 47, 47}, sheet_colour::GLOBE[k]);
      Fill(sheet_, Box{176 + 64 * (k % 2), 80 + 48 * (k / 2), 64, 48}, sheet_colour::CELL[k]);
      Fill(sheet_, Box{176 + 32 * k, 176, 32, 32}, sheet_colour::EXPLOSION[k]);
    }
    Fill(sheet_, Box{176, 208, 32, 32}, sheet_colour::BOSS);
    Fill(sheet_, Box{240, 208, 31, 31}, sheet_colour::STAR[0]);
    Fill(sheet_, Box{272, 208, 31, 31}, sheet_colour::STAR[1]);
  }

  // Everything a fresh program has before the first mission, and a known random sequence.
  static void ResetGame() {
    Score = MissionIndex = Level = TimeLeft = ObjectsLeft = 0;
    MissionCleared = MissionFailed = BattleOver = 0;
    HiScore = 2000;
    for (int32_t& t : CellTypes) t = CELL_EMPTY;
    for (int32_t& h : CellHp) h = 0;
    PlayerGlobe = {};
    BossState = {};
    for (Explosion& e : Explosions) e = {};
    for (Star& s : StarField) s = {};
    SceneTimer = ScenePhase = 0;
    InputState = {};
    SceneId = SCENE_BATTLE;
    RandomSeed = 2;
  }

  // Enters mission n (1..10) of a level, then clears what the entry played.
  void Enter(int32_t mission, int32_t level = 0) {
    MissionIndex = mission - 1;
    Level = level;
    EnterBattle();
    SceneId = SCENE_BATTLE;
  }

  static void ClearField() {
    for (int32_t& t : CellTypes) t = CELL_EMPTY;
    ObjectsLeft = 0;
  }

  static void Hold(uint32_t bits) {
    InputState.pressed = (InputState.previous ^ 0xFFFFu) & bits;
    InputState.previous = bits;
    InputState.pad.bits = bits;
  }

  uint8_t ScreenAt(int32_t x, int32_t y) const { return screen_->pixels[y * screen_->pitch + x]; }
  uint8_t SheetAt(int32_t x, int32_t y) const { return sheet_->pixels[y * sheet_->pitch + x]; }

  // Counts the screen pixels of one colour inside a box.
  int32_t CountColour(Box b, uint8_t colour) const {
    int32_t n = 0;
    for (int32_t y = b.y; y < b.y + b.h; ++y)
      for (int32_t x = b.x; x < b.x + b.w; ++x)
        if (x >= 0 && x < 320 && y >= 0 && y < 240 && ScreenAt(x, y) == colour) ++n;
    return n;
  }

  // True when the screen holds exactly the glyphs that text draws at (x, y).
  bool ShowsText(const char* text, int32_t x, int32_t y) {
    Surface* reference = CreateSurface(320, 240);
    Clipper clip{Box{0, 0, 320, 240}};
    reference->clipper = &clip;
    ScreenSurface = reference;
    gf_TextDraw(text, x, y);
    ScreenSurface = screen_;
    bool same = true;
    int32_t glyphPixels = 0;
    for (int32_t py = 0; py < 240; ++py)
      for (int32_t px = 0; px < 320; ++px) {
        const uint8_t want = reference->pixels[py * reference->pitch + px];
        if (want == 0) continue;
        ++glyphPixels;
        if (ScreenAt(px, py) != want) same = false;
      }
    ReleaseSurface(reference);
    // Nothing more may follow: a further glyph would fill the column past the text's end.
    const int32_t after = x + TextWidth(text) + 2;
    bool glyphAfter = after < 320;
    for (int32_t py = y; py < y + 16 && glyphAfter; ++py)
      glyphAfter = ScreenAt(after, py) >= 150 && ScreenAt(after, py) < 190;
    return same && glyphPixels > 0 && !glyphAfter;
  }

  Surface* screen_ = nullptr;
  Surface* sheet_ = nullptr;
  Clipper screenClip_{};
};
