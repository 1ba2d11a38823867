// Drawing primitives: fills, mesh, outline, lines, points and the box copy with stretch, colour
// key and clipping; the messages for missing surfaces.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "gfx/surface.h"
#include "platform/fake/fake_platform.h"

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

PixelSet Grid(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t dx, int32_t dy) {
  PixelSet set;
  for (int32_t y = y0; y < y1; y += dy) {
    for (int32_t x = x0; x < x1; x += dx) set.insert({x, y});
  }
  return set;
}

// A source whose every pixel differs from its neighbours and is never 0 (the key).
uint8_t SourceValue(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (x + 17 * y) % 250); }

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
    FakeClearDebugLines();
  }
  void TearDown() override {
    ReleaseSurface(screen);
    ReleaseSurface(sheet);
  }
  // The screen holds the picture `expected(x, y)` inside box d and `outside` elsewhere.
  void ExpectScreen(const Box& d, uint8_t outside,
                    const std::function<uint8_t(int, int)>& expected) {
    for (int32_t y = 0; y < 240; ++y) {
      for (int32_t x = 0; x < 320; ++x) {
        const bool in = x >= d.x && x < d.x + d.w && y >= d.y && y < d.y + d.h;
        ASSERT_EQ(At(screen, x, y), in ? expected(x - d.x, y - d.y) : outside) << x << "," << y;
      }
    }
  }
  Clipper clip{Box{0, 0, 320, 240}};
  Surface* screen = nullptr;
  Surface* sheet = nullptr;
};

TEST_F(Primitives, ShapesSetExactlyTheirPixels) {
  EXPECT_EQ(gf_DD_BoxDraw(screen, Box{-2, 238, 4, 4}, 4), 1);  // partly off the screen
  EXPECT_EQ(PixelsOf(screen, 4), (PixelSet{{0, 238}, {1, 238}, {1, 239}}));
  EXPECT_EQ(gf_DD_BoxMesh(screen, Box{3, 4, 5, 6}, 0, 0, 5), 1);  // a step of 0 fills
  EXPECT_EQ(PixelsOf(screen, 5), Grid(3, 4, 8, 10, 1, 1));
  // Lines leave out their first point and clip pixel by pixel.
  const std::tuple<int32_t, int32_t, int32_t, int32_t, PixelSet> lines[] = {
      {0, 0, 4, 2, {{1, 0}, {2, 0}, {3, 1}, {4, 1}}},
      {3, 3, 0, 0, {{3, 2}, {2, 1}, {1, 0}}},
      {5, 5, 5, 5, {}},
      {0, 180, 320, 180, Grid(1, 180, 320, 181, 1, 1)},
  };
  for (const auto& [x1, y1, x2, y2, pixels] : lines) {
    gf_DD_ScrFill(screen, 0);
    EXPECT_EQ(gf_DD_LineDraw(screen, x1, y1, x2, y2, 4), 1);
    EXPECT_EQ(PixelsOf(screen, 4), pixels) << x1 << "," << y1 << " to " << x2 << "," << y2;
  }
}

TEST_F(Primitives, MeshPointAndLineNeverWriteOutsideASmallSurface) {
  Surface* small = CreateSurface(13, 7);                          // rows padded past the width
  EXPECT_EQ(gf_DD_BoxMesh(small, Box{0, 0, 9, 9}, -2, 2, 8), 0);  // a negative step never ends
  EXPECT_EQ(gf_DD_BoxMesh(small, Box{-3, -3, 40, 40}, 3, 2, 5), 1);
  // The pattern keeps its phase from the box corner: columns -3+3k, rows -3+2k.
  EXPECT_EQ(PixelsOf(small, 5), Grid(0, 1, 13, 7, 3, 2));
  for (auto [x, y] : {std::pair{13, 0}, {0, 7}, {-1, 3}}) EXPECT_EQ(gf_DD_PDraw(small, x, y, 6), 0);
  EXPECT_EQ(gf_DD_PDraw(small, 12, 6, 6), 1);
  EXPECT_EQ(PixelsOf(small, 6), (PixelSet{{12, 6}}));
  EXPECT_EQ(gf_DD_LineDraw(small, 0, 0, 9, 9, 3), 1);
  EXPECT_EQ(PixelsOf(small, 3).size(), 6u);
  for (int32_t y = 0; y < small->height; ++y) {
    for (int32_t x = small->width; x < small->pitch; ++x) ASSERT_EQ(At(small, x, y), 0) << y;
  }
  ReleaseSurface(small);
}

// Each destination pixel takes the source pixel under its centre; off the screen a copy is cut,
// not moved.
TEST_F(Primitives, CopiesTakeTheSourcePixelUnderEachDestinationPixel) {
  const Box s{5, 6, 16, 16};
  for (const Box d :
       {Box{30, 40, 20, 10}, Box{30, 40, 32, 32}, Box{30, 40, 8, 8}, Box{30, 40, 11, 1},
        Box{-8, 100, 16, 16}, Box{300, 200, 48, 48}, Box{-3, -3, 7, 9}}) {
    gf_DD_ScrFill(screen, 251);
    EXPECT_EQ(gf_DD_Blt(sheet, s, screen, d), 1);
    ExpectScreen(d, 251, [&](int x, int y) {
      return SourceValue(s.x + (2 * x + 1) * s.w / (2 * d.w), s.y + (2 * y + 1) * s.h / (2 * d.h));
    });
  }
}

TEST_F(Primitives, KeyColouredPixelsLeaveTheDestinationAndAnInvalidKeyLeavesNothingOut) {
  for (int32_t x = 0; x < 19; ++x) sheet->pixels[2 * sheet->pitch + x] = 0;        // past 16 bytes
  sheet->pixels[5 * sheet->pitch + 3] = sheet->pixels[5 * sheet->pitch + 41] = 0;  // 41: the tail
  for (const Box d : {Box{10, 10, 43, 8}, Box{10, 10, 86, 16}}) {  // plain and stretched
    gf_DD_ScrFill(screen, 251);
    EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 43, 8}, screen, d), 1);
    const int32_t fx = d.w / 43, fy = d.h / 8;
    ExpectScreen(d, 251, [&](int x, int y) -> uint8_t {
      const int32_t sx = x / fx, sy = y / fy;
      return (sy == 2 && sx < 19) || (sy == 5 && (sx == 3 || sx == 41)) ? 251 : SourceValue(sx, sy);
    });
  }
  sheet->colorKey = 0xFFFFFFFFu;
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 2, 2, 1}, screen, Box{0, 0, 2, 1}), 1);
  EXPECT_EQ(PixelsOf(screen, 0), (PixelSet{{0, 0}, {1, 0}}));
}

TEST_F(Primitives, CopiesFromOrToABoxPastASurfaceEdgeAreRefused) {
  for (const Box s : {Box{-1, 0, 16, 16}, Box{0, 49, 16, 16}, Box{0, 0, 0, 16}, Box{0, 0, 16, -2},
                      Box{0x7FFFFFF0, 0, 32, 16}}) {
    EXPECT_EQ(gf_DD_Blt(sheet, s, screen, Box{0, 0, 16, 16}), 0) << s.x << "," << s.y;
  }
  EXPECT_EQ(PixelsOf(screen, 0).size(), 320u * 240u);
  Surface* target = CreateSurface(32, 32);  // no clipper
  EXPECT_EQ(gf_DD_Blt(sheet, Box{0, 0, 16, 16}, target, Box{20, 0, 16, 16}), 0);
  EXPECT_EQ(PixelsOf(target, 0).size(), 32u * 32u);
  EXPECT_EQ(gf_DD_Blt(sheet, Box{48, 48, 16, 16}, target, Box{16, 16, 16, 16}), 1);  // both edges
  EXPECT_EQ(At(target, 31, 31), SourceValue(63, 63));
  ReleaseSurface(target);
}

TEST_F(Primitives, MissingSurfacesWriteTheirMessageAndFail) {
  const Box b{0, 0, 4, 4};
  const std::vector<int32_t> results = {
      // called in this order
      gf_DD_ScrFill(nullptr, 1), gf_DD_LineDraw(nullptr, 0, 0, 5, 5, 1),
      gf_DD_Blt(nullptr, b, nullptr, b), gf_DD_Blt(screen, b, nullptr, b)};
  EXPECT_EQ(results, std::vector<int32_t>(4, 0));
  EXPECT_EQ(FakeDebugLines(),
            (std::vector<std::string>{"gf_DD_ScrFill:サーフェース情報が壊れています\n",
                                      "gf_DD_PDraw:ｻｰﾌｪｰｽ情報が壊れています\n",
                                      "gf_DD_Blt:転送元ｻｰﾌｪｰｽ情報が壊れています\n",  // source first
                                      "gf_DD_Blt:転送先ｻｰﾌｪｰｽ情報が壊れています\n"}));
}

}  // namespace
