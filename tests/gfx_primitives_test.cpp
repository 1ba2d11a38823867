// Drawing primitives: fills, mesh, outline, lines, points and the box copy with stretch, colour
// key and clipping; the messages for missing surfaces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "gfx/surface.h"
#include "platform/fake/fake_platform.h"

// Boxes print as their four numbers in test names and messages.
void PrintTo(const Box& b, std::ostream* os) {
  *os << b.x << ',' << b.y << ' ' << b.w << 'x' << b.h;
}

namespace {

using PixelSet = std::set<std::pair<int32_t, int32_t>>;

uint8_t At(const Surface* s, int32_t x, int32_t y) { return s->pixels[y * s->pitch + x]; }

PixelSet PixelsOf(const Surface* s, uint8_t value) {
  PixelSet set;
  for (int32_t y = 0; y < s->height; ++y) {
    for (int32_t x = 0; x < s->width; ++x) {
      if (At(s, x, y) == value) set.insert({x, y});
    }
  }
  return set;
}

// Bytes past the width of each row: no primitive may touch them.
bool PaddingUntouched(const Surface* s) {
  for (int32_t y = 0; y < s->height; ++y) {
    for (int32_t x = s->width; x < s->pitch; ++x) {
      if (At(s, x, y) != 0) return false;
    }
  }
  return true;
}

// A source whose every pixel differs from its neighbours and is never 0 (the key).
uint8_t SourceValue(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (x + 17 * y) % 250); }

PixelSet Grid(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t dx, int32_t dy) {
  PixelSet set;
  for (int32_t y = y0; y < y1; y += dy) {
    for (int32_t x = x0; x < x1; x += dx) set.insert({x, y});
  }
  return set;
}

class Primitives : public testing::Test {
 protected:
  void SetUp() override {
    screen = CreateSurface(320, 240);
    screen->clipper = &clip;
    sheet = CreateSurface(64, 64);
    for (int32_t y = 0; y < 64; ++y) {
      for (int32_t x = 0; x < 64; ++x) sheet->pixels[y * sheet->pitch + x] = SourceValue(x, y);
    }
    sheet->hasColorKey = true;
    sheet->colorKey = 0;
    FakeClearDebugLines();
  }
  void TearDown() override {
    ReleaseSurface(screen);
    ReleaseSurface(sheet);
  }
  Clipper clip{Box{0, 0, 320, 240}};
  Surface* screen = nullptr;
  Surface* sheet = nullptr;
};

TEST_F(Primitives, FillsStoreTheLowEightBitsAndClipToTheScreen) {
  EXPECT_EQ(gf_DD_ScrFill(screen, 0x1234), 1);
  EXPECT_EQ(PixelsOf(screen, 0x34).size(), 320u * 240u);
  EXPECT_EQ(gf_DD_BoxFill(screen, Box{-5, 230, 10, 20}, -1), 1);
  EXPECT_EQ(PixelsOf(screen, 255), Grid(0, 230, 5, 240, 1, 1));
  EXPECT_EQ(gf_DD_BoxFill(screen, Box{400, 10, 5, 5}, 7), 1);
  EXPECT_TRUE(PixelsOf(screen, 7).empty());
}

TEST_F(Primitives, BoxFillOnASurfaceWithoutClipperRefusesABoxCrossingItsEdge) {
  EXPECT_EQ(gf_DD_BoxFill(sheet, Box{60, 0, 8, 4}, 0), 0);
  EXPECT_EQ(gf_DD_BoxFill(sheet, Box{0, -1, 8, 4}, 0), 0);
  EXPECT_TRUE(PixelsOf(sheet, 0).empty());
  EXPECT_EQ(gf_DD_BoxFill(sheet, Box{56, 60, 8, 4}, 0), 1);
  EXPECT_EQ(PixelsOf(sheet, 0).size(), 32u);
}

// One shape drawn on the clipped screen, and exactly the pixels it must set.
struct ShapeCase {
  const char* name;
  std::function<int32_t(Surface*)> draw;
  PixelSet pixels;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class Shapes : public Primitives, public testing::WithParamInterface<ShapeCase> {};

TEST_P(Shapes, SetExactlyTheirPixels) {
  EXPECT_EQ(GetParam().draw(screen), 1);
  EXPECT_EQ(PixelsOf(screen, 4), GetParam().pixels);
}

ShapeCase Line(const char* name, int32_t x1, int32_t y1, int32_t x2, int32_t y2, PixelSet p) {
  return {name, [=](Surface* s) { return gf_DD_LineDraw(s, x1, y1, x2, y2, 4); }, p};
}

ShapeCase Outline(const char* name, Box b, PixelSet p) {
  return {name, [=](Surface* s) { return gf_DD_BoxDraw(s, b, 4); }, p};
}
ShapeCase Mesh(const char* name, Box b, int32_t dx, int32_t dy, PixelSet p) {
  return {name, [=](Surface* s) { return gf_DD_BoxMesh(s, b, dx, dy, 4); }, p};
}
PixelSet Union(PixelSet a, const PixelSet& b) {
  a.insert(b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Shapes,
    testing::Values(Outline("Outline", Box{10, 20, 5, 3},
                            Union(Grid(10, 20, 15, 23, 4, 1), Grid(10, 20, 15, 23, 1, 2))),
                    // Only the top row and right column are on the screen.
                    Outline("OutlinePartlyOff", Box{-2, 238, 4, 4}, {{0, 238}, {1, 238}, {1, 239}}),
                    Mesh("MeshFromTheCorner", Box{0, 0, 319, 16}, 2, 2, Grid(0, 0, 319, 16, 2, 2)),
                    Mesh("MeshStepZeroFills", Box{3, 4, 5, 6}, 0, 0, Grid(3, 4, 8, 10, 1, 1)),
                    Line("Flat", 0, 0, 3, 0, {{1, 0}, {2, 0}, {3, 0}}),
                    Line("Shallow", 0, 0, 3, 1, {{1, 0}, {2, 0}, {3, 0}}),
                    Line("HalfSlope", 0, 0, 4, 2, {{1, 0}, {2, 0}, {3, 1}, {4, 1}}),
                    Line("Diagonal", 0, 0, 3, 3, {{0, 1}, {1, 2}, {2, 3}}),
                    Line("Backwards", 3, 3, 0, 0, {{3, 2}, {2, 1}, {1, 0}}),
                    Line("Point", 5, 5, 5, 5, {}),
                    Line("PastTheRightEdge", 0, 180, 320, 180, Grid(1, 180, 320, 181, 1, 1)),
                    Line("Up", 10, 5, 10, 1, {{10, 4}, {10, 3}, {10, 2}, {10, 1}}),
                    Line("FromOffTheLeft", -2, 0, 2, 0, {{0, 0}, {1, 0}, {2, 0}})),
    [](const testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST_F(Primitives, MeshWithANegativeStepDrawsNothing) {
  EXPECT_EQ(gf_DD_BoxMesh(screen, Box{10, 10, 20, 20}, -2, 2, 8), 0);
  EXPECT_EQ(gf_DD_BoxMesh(screen, Box{10, 10, 20, 20}, 2, -1, 8), 0);
  EXPECT_TRUE(PixelsOf(screen, 8).empty());
}

TEST_F(Primitives, MeshPointAndLineNeverWriteOutsideASmallSurface) {
  Surface* small = CreateSurface(13, 7);  // rows padded to 16 bytes
  EXPECT_EQ(gf_DD_BoxMesh(small, Box{-3, -3, 40, 40}, 3, 2, 5), 1);
  // The pattern keeps its phase from the box corner: columns -3+3k, rows -3+2k.
  EXPECT_EQ(PixelsOf(small, 5), Grid(0, 1, 13, 7, 3, 2));
  for (auto [x, y] : {std::pair{13, 0}, {0, 7}, {-1, 3}}) EXPECT_EQ(gf_DD_PDraw(small, x, y, 6), 0);
  EXPECT_EQ(gf_DD_PDraw(small, 12, 6, 6), 1);
  EXPECT_EQ(PixelsOf(small, 6), (PixelSet{{12, 6}}));
  EXPECT_EQ(gf_DD_LineDraw(small, 0, 0, 9, 9, 3), 1);
  EXPECT_EQ(PixelsOf(small, 3), (PixelSet{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}}));
  EXPECT_TRUE(PaddingUntouched(small));
  ReleaseSurface(small);
}

TEST_F(Primitives, UnscaledCopyIsPixelForPixel) {
  gf_DD_ScrFill(screen, 251);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{5, 6, 20, 10}, screen, Box{30, 40, 20, 10}), 1);
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      const bool inside = x >= 30 && x < 50 && y >= 40 && y < 50;
      ASSERT_EQ(At(screen, x, y), inside ? SourceValue(x - 30 + 5, y - 40 + 6) : 251)
          << x << "," << y;
    }
  }
}

TEST_F(Primitives, DoublingCopiesEachPixelToATwoByTwoBlock) {
  EXPECT_EQ(gf_DD_Blt(sheet, Box{8, 4, 16, 16}, screen, Box{100, 50, 32, 32}), 1);
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 32; ++x) {
      ASSERT_EQ(At(screen, 100 + x, 50 + y), SourceValue(8 + x / 2, 4 + y / 2)) << x << "," << y;
    }
  }
  EXPECT_EQ(PixelsOf(screen, 0).size(), 320u * 240u - 32u * 32u);
}

TEST_F(Primitives, HalvingKeepsOnePixelOfEachTwoByTwoBlockAtTheSamePlace) {
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 16, 16}, screen, Box{0, 0, 8, 8}), 1);
  int32_t chosen = -1;
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      int32_t offset = -1;
      for (int32_t k = 0; k < 4; ++k) {
        if (At(screen, x, y) == SourceValue(2 * x + k % 2, 2 * y + k / 2)) offset = k;
      }
      ASSERT_NE(offset, -1) << x << "," << y;
      if (chosen == -1) chosen = offset;
      EXPECT_EQ(offset, chosen);
    }
  }
}

TEST_F(Primitives, StretchByAnyFactorTakesSourceColumnsInOrderAndCoversEveryOne) {
  // A digit of the font: 10 columns drawn 11 wide.
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 10, 1}, screen, Box{0, 0, 11, 1}), 1);
  std::vector<int32_t> columns;
  for (int32_t x = 0; x < 11; ++x) columns.push_back(At(screen, x, 0) - SourceValue(0, 0));
  EXPECT_EQ(columns.front(), 0);
  EXPECT_EQ(columns.back(), 9);
  for (size_t i = 1; i < columns.size(); ++i) {
    EXPECT_TRUE(columns[i] == columns[i - 1] || columns[i] == columns[i - 1] + 1) << i;
  }
}

TEST_F(Primitives, KeyColouredSourcePixelsLeaveTheDestination) {
  for (int32_t x = 0; x < 8; ++x) sheet->pixels[2 * sheet->pitch + x] = 0;  // row 2 of the box
  sheet->pixels[5 * sheet->pitch + 3] = 0;
  gf_DD_ScrFill(screen, 251);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 40, 8}, screen, Box{10, 10, 40, 8}), 1);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      const bool hole = (y == 2 && x < 8) || (y == 5 && x == 3);
      ASSERT_EQ(At(screen, 10 + x, 10 + y), hole ? 251 : SourceValue(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(PixelsOf(screen, 0).size(), 0u);
}

TEST_F(Primitives, KeyAppliesToStretchedCopiesAndAnInvalidKeyLeavesNothingOut) {
  gf_DD_BoxFill(sheet, Box{0, 0, 4, 4}, 0);
  gf_DD_ScrFill(screen, 251);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 4, 4}, screen, Box{0, 0, 13, 9}), 1);
  EXPECT_EQ(PixelsOf(screen, 251).size(), 320u * 240u);
  sheet->colorKey = 0xFFFFFFFFu;
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 2, 2}, screen, Box{0, 0, 2, 2}), 1);
  EXPECT_EQ(PixelsOf(screen, 0).size(), 4u);
}

std::string BoxName(const Box& b) {
  std::string name;
  for (int32_t v : {b.x, b.y, b.w, b.h}) name += (v < 0 ? "_m" : "_") + std::to_string(std::abs(v));
  return name.substr(1);
}

class ClippedCopies : public Primitives, public testing::WithParamInterface<Box> {};

TEST_P(ClippedCopies, ShowExactlyTheVisiblePartOfTheWholePicture) {
  const Box d = GetParam();  // of a 16x16 source box, possibly stretched
  gf_DD_ScrFill(screen, 251);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{20, 20, 16, 16}, screen, d), 1);
  // The picture drawn whole on a large surface, then compared where the screen shows it.
  Surface* whole = CreateSurface(d.w, d.h);
  gf_DD_Blt(sheet, Box{20, 20, 16, 16}, whole, Box{0, 0, d.w, d.h});
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      const bool inside = x >= d.x && x < d.x + d.w && y >= d.y && y < d.y + d.h;
      ASSERT_EQ(At(screen, x, y), inside ? At(whole, x - d.x, y - d.y) : 251) << x << "," << y;
    }
  }
  ReleaseSurface(whole);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClippedCopies,
                         testing::Values(Box{-8, 100, 16, 16}, Box{310, -5, 16, 16},
                                         Box{-16, 230, 32, 32}, Box{300, 200, 48, 48},
                                         Box{-3, -3, 7, 9}),
                         [](const auto& info) { return BoxName(info.param); });

class RefusedSourceBoxes : public Primitives, public testing::WithParamInterface<Box> {};

TEST_P(RefusedSourceBoxes, DrawNothing) {
  EXPECT_EQ(gf_DD_Blt(sheet, GetParam(), screen, Box{0, 0, 16, 16}), 0);
  EXPECT_EQ(PixelsOf(screen, 0).size(), 320u * 240u);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedSourceBoxes,
                         testing::Values(Box{-1, 0, 16, 16}, Box{0, -1, 16, 16}, Box{49, 0, 16, 16},
                                         Box{0, 49, 16, 16}, Box{0, 0, 0, 16}, Box{0, 0, 16, -2},
                                         Box{0x7FFFFFF0, 0, 32, 16}),
                         [](const auto& info) { return BoxName(info.param); });

TEST_F(Primitives, CopyToASurfaceWithoutClipperRefusesABoxPastItsEdge) {
  Surface* target = CreateSurface(32, 32);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 16, 16}, target, Box{20, 0, 16, 16}), 0);
  EXPECT_EQ(PixelsOf(target, 0).size(), 32u * 32u);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 16, 16}, target, Box{16, 16, 16, 16}), 1);
  EXPECT_EQ(At(target, 31, 31), SourceValue(15, 15));
  ReleaseSurface(target);
}

struct MissingCase {
  const char* name;
  std::function<int32_t(Surface*)> call;
  const char* message;
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

class MissingSurfaces : public Primitives, public testing::WithParamInterface<MissingCase> {};

TEST_P(MissingSurfaces, WriteTheirMessageOncePerCallAndFail) {
  const MissingCase& c = GetParam();
  EXPECT_EQ(c.call(screen), 0);
  EXPECT_EQ(c.call(screen), 0);
  EXPECT_EQ(FakeDebugLines(), (std::vector<std::string>{c.message, c.message}));
  EXPECT_EQ(PixelsOf(screen, 0).size(), 320u * 240u);
}

const char* const BOX_MESSAGE = "gf_DD_BoxFill:ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const POINT_MESSAGE = "gf_DD_PDraw:ｻｰﾌｪｰｽ情報が壊れています\n";
const char* const SOURCE_MESSAGE = "gf_DD_Blt:転送元ｻｰﾌｪｰｽ情報が壊れています\n";
constexpr Box B{0, 0, 4, 4};

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingSurfaces,
    testing::Values(
        MissingCase{"ScrFill", [](Surface*) { return gf_DD_ScrFill(nullptr, 1); },
                    "gf_DD_ScrFill:サーフェース情報が壊れています\n"},
        MissingCase{"BoxFill", [](Surface*) { return gf_DD_BoxFill(nullptr, B, 1); }, BOX_MESSAGE},
        MissingCase{"BoxMesh", [](Surface*) { return gf_DD_BoxMesh(nullptr, B, 1, 1, 1); },
                    BOX_MESSAGE},
        MissingCase{"BoxDraw", [](Surface*) { return gf_DD_BoxDraw(nullptr, B, 1); },
                    "gf_DD_BoxDraw:ｻｰﾌｪｰｽ情報が壊れています\n"},
        MissingCase{"LineDraw", [](Surface*) { return gf_DD_LineDraw(nullptr, 0, 0, 5, 5, 1); },
                    POINT_MESSAGE},
        MissingCase{"PDraw", [](Surface*) { return gf_DD_PDraw(nullptr, 1, 1, 1); }, POINT_MESSAGE},
        MissingCase{"BltSource", [](Surface* s) { return gf_DD_Blt(nullptr, B, s, B); },
                    SOURCE_MESSAGE},
        MissingCase{"BltBothMissingNamesTheSource",
                    [](Surface*) { return gf_DD_Blt(nullptr, B, nullptr, B); }, SOURCE_MESSAGE},
        MissingCase{"BltDest", [](Surface* s) { return gf_DD_Blt(s, B, nullptr, B); },
                    "gf_DD_Blt:転送先ｻｰﾌｪｰｽ情報が壊れています\n"}),
    [](const testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

}  // namespace
