// Large lettering drawn from stroked outlines: the title, the maker's logo and "GAME OVER".
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "sheet_art.h"

namespace {
// Letter skeletons on a grid 12 units tall: polylines "x,y x,y ...", separated by ';'.
struct Skeleton {
  char ch;
  int width;  // in units
  std::string_view paths;
};

constexpr Skeleton SKELETONS[] = {
    {'A', 8, "0,12 0,4 4,0 8,4 8,12;0,7 8,7"},
    {'D', 8, "0,0 5,0 8,3 8,9 5,12 0,12 0,0"},
    {'E', 8, "8,0 0,0 0,12 8,12;0,6 6,6"},
    {'G', 8, "8,3 5,0 3,0 0,3 0,9 3,12 5,12 8,9 8,6 5,6"},
    {'I', 0, "0,0 0,12"},
    {'M', 10, "0,12 0,0 5,6 10,0 10,12"},
    {'O', 8, "3,0 5,0 8,3 8,9 5,12 3,12 0,9 0,3 3,0"},
    {'R', 8, "0,12 0,0 6,0 8,2 8,4 6,6 0,6;4,6 8,12"},
    {'U', 8, "0,0 0,9 3,12 5,12 8,9 8,0"},
    {'V', 8, "0,0 4,12 8,0"},
    {'Z', 8, "0,0 8,0 0,12 8,12"},
    {'-', 4, "0,6 4,6"},
    {' ', 2, ""},
};

const Skeleton& SkeletonOf(char ch) {
  for (const Skeleton& s : SKELETONS) {
    if (s.ch == ch) return s;
  }
  return SKELETONS[std::size(SKELETONS) - 1];
}

struct Segment {
  int x0, y0, x1, y1;  // sixteenths of a pixel
};

// How a text is laid out: unit sizes and gaps in sixteenths of a pixel.
struct Layout {
  int unitX, unitY;
  int gap;   // between one letter's last stroke and the next one's first
  int half;  // half the stroke width
  int top;   // y of the skeleton's top line
};

int TextSpan(std::string_view text, const Layout& l) {
  int span = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    span += SkeletonOf(text[i]).width * l.unitX + (i + 1 < text.size() ? l.gap : 0);
  }
  return span;
}

// The text's strokes, centred across a canvas of the given width.
std::vector<Segment> LayOut(std::string_view text, const Layout& l, int canvasWidth) {
  std::vector<Segment> segs;
  int pen = (canvasWidth * 16 - TextSpan(text, l)) / 2;
  for (char ch : text) {
    const Skeleton& s = SkeletonOf(ch);
    size_t pos = 0;
    while (pos < s.paths.size()) {
      size_t end = s.paths.find(';', pos);
      if (end == std::string_view::npos) end = s.paths.size();
      const std::string_view path = s.paths.substr(pos, end - pos);
      int px = 0, py = 0;
      bool first = true;
      size_t p = 0;
      while (p < path.size()) {
        const int ux = std::atoi(path.data() + p);
        p = path.find(',', p) + 1;
        const int uy = std::atoi(path.data() + p);
        const size_t blank = path.find(' ', p);
        p = blank == std::string_view::npos ? path.size() : blank + 1;
        const int x = pen + ux * l.unitX, y = l.top + uy * l.unitY;
        if (!first) segs.push_back({px, py, x, y});
        px = x;
        py = y;
        first = false;
      }
      pos = end + 1;
    }
    pen += s.width * l.unitX + l.gap;
  }
  return segs;
}

// Distance from a pixel centre to the nearest stroke's centre line, and the direction to it.
struct Reach {
  int d = 1 << 30;
  int vx = 0, vy = 0;
};

Reach Nearest(const std::vector<Segment>& segs, int x, int y) {
  const int64_t px = x * 16 + 8, py = y * 16 + 8;
  Reach best;
  for (const Segment& s : segs) {
    const int64_t ax = s.x0, ay = s.y0, bx = s.x1 - s.x0, by = s.y1 - s.y0;
    const int64_t len2 = bx * bx + by * by;
    int64_t t = len2 == 0 ? 0 : ((px - ax) * bx + (py - ay) * by);
    t = std::clamp<int64_t>(t, 0, len2);
    const int64_t cx = len2 == 0 ? ax : ax + bx * t / len2;
    const int64_t cy = len2 == 0 ? ay : ay + by * t / len2;
    const int vx = static_cast<int>(px - cx), vy = static_cast<int>(py - cy);
    const int d = ISqrt(int64_t{vx} * vx + int64_t{vy} * vy);
    if (d < best.d) best = {d, vx, vy};
  }
  return best;
}

// Normal of a bevelled stroke at a pixel: flat on top, turning outwards over the bevel.
void BevelNormal(const Reach& r, int half, int bevel, int& nx, int& ny, int& nz) {
  const int into = r.d - (half - bevel);
  if (into <= 0 || r.d == 0) {
    nx = ny = 0;
    nz = 256;
    return;
  }
  const int s = std::min(into * 256 / bevel, 256);
  const int ux = r.vx * s / r.d, uy = r.vy * s / r.d, uz = 300 - s;
  const int len = std::max(1, ISqrt(int64_t{ux} * ux + int64_t{uy} * uy + int64_t{uz} * uz));
  nx = ux * 256 / len;
  ny = uy * 256 / len;
  nz = uz * 256 / len;
}

struct Style {
  Ramp ramp;      // dark to light
  int topLight;   // ramp position at the letters' top (0..4096)
  int footLight;  // and at their foot
  int lightGain;  // how strongly the bevel's light moves along the ramp
  int bevel;      // bevel width, sixteenths of a pixel
  Rgb outline;
};

// Draws the strokes: face shaded by height and light, then a one-pixel outline around it.
void PaintLetters(Canvas& c, const std::vector<Segment>& segs, const Layout& l, const Style& s,
                  int faceTop, int faceFoot) {
  Canvas face(c.width, c.height);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const Reach r = Nearest(segs, x, y);
      if (r.d > l.half) continue;
      int nx, ny, nz;
      BevelNormal(r, l.half, s.bevel, nx, ny, nz);
      const int height = Clamp((y - faceTop) * 4096 / std::max(1, faceFoot - faceTop), 0, 4096);
      const int base = s.topLight + (s.footLight - s.topLight) * height / 4096;
      const int light = (Lambert(nx, ny, nz) - Lambert(0, 0, 256)) * s.lightGain / 16;
      const int shine = Highlight(nx, ny, nz) * 6;
      face.Set(x, y, RampPick(s.ramp, base + light + shine, x, y));
    }
  }
  Outline(face, s.outline);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (face.Ink(x, y)) c.Set(x, y, face.At(x, y));
    }
  }
}

// Solid depth under a lettering: copies of its outline stepped down and to the right.
void Extrude(Canvas& c, int steps, Ramp ramp) {
  const Canvas front = c;
  Canvas out(c.width, c.height);
  for (int k = steps; k >= 1; --k) {
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        if (front.Ink(x - k, y - k)) {
          out.Set(x, y, RampPick(ramp, 4096 - (k - 1) * 4096 / steps, x, y));
        }
      }
    }
  }
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      if (front.Ink(x, y)) out.Set(x, y, front.At(x, y));
    }
  }
  c = out;
}

// A small four-pointed glint.
void Glint(Canvas& c, int cx, int cy, int arm) {
  for (int i = -arm; i <= arm; ++i) {
    const Rgb tip = std::abs(i) * 2 > arm ? Cube(4, 6, 3) : WHITE;
    c.Set(cx + i, cy, tip);
    c.Set(cx, cy + i, tip);
  }
  c.Set(cx - 1, cy - 1, Cube(5, 7, 3));
  c.Set(cx + 1, cy - 1, Cube(5, 7, 3));
  c.Set(cx - 1, cy + 1, Cube(5, 7, 3));
  c.Set(cx + 1, cy + 1, Cube(5, 7, 3));
}

constexpr std::string_view GAME_NAME = "ZIZID-OZAVAV";
constexpr std::string_view MAKER_NAME = "DUDEZIZE";

// The title's face: the coloured lettering at rest lies exactly on the grey one's face.
constexpr Layout TITLE_LAYOUT{20, 50, 100, 36, 4 * 16};
constexpr int TITLE_FACE_TOP = 2, TITLE_FACE_FOOT = 43;
}  // namespace

Canvas DrawTitleGrey() {
  Canvas c(TITLE_GREY.w, TITLE_GREY.h);
  Layout l = TITLE_LAYOUT;
  l.half += 8;  // a thin rim that shows around the coloured face
  const Style steel{{Cube(1, 1, 1), Cube(2, 2, 1), Cube(3, 3, 2), Cube(4, 4, 2), Cube(5, 5, 2),
                     Cube(6, 6, 3), WHITE},
                    3000,
                    1500,
                    40,
                    40,
                    Cube(0, 0, 1)};
  PaintLetters(c, LayOut(GAME_NAME, l, c.width), l, steel, TITLE_FACE_TOP, TITLE_FACE_FOOT);
  Extrude(c, 3, {Cube(0, 0, 1), Cube(1, 1, 1), Cube(2, 2, 1)});
  return c;
}

Canvas DrawTitleColour() {
  Canvas c(TITLE_COLOUR.w, TITLE_COLOUR.h);
  Layout l = TITLE_LAYOUT;
  l.top += 8 * 16;
  const Style fire{{Cube(2, 0, 1), Cube(4, 0, 1), Cube(6, 0, 1), Cube(7, 1, 0), Cube(7, 2, 0),
                    Cube(6, 4, 0), Cube(6, 6, 0), Cube(6, 7, 1), Cube(6, 7, 3), WHITE},
                   3300,
                   900,
                   50,
                   30,
                   Cube(1, 0, 1)};
  PaintLetters(c, LayOut(GAME_NAME, l, c.width), l, fire, TITLE_FACE_TOP + 8, TITLE_FACE_FOOT + 8);
  Glint(c, 18, 10, 5);
  Glint(c, 150, 47, 4);
  return c;
}

Canvas DrawMakerLogo() {
  Canvas c(MAKER_LOGO.w, MAKER_LOGO.h);
  const Layout l{30, 30, 120, 40, 3 * 16};
  const Style chrome{{Cube(0, 0, 1), Cube(0, 1, 2), Cube(1, 2, 3), Cube(2, 4, 3), Cube(4, 6, 3),
                      Cube(6, 7, 3), WHITE},
                     3900,
                     1000,
                     40,
                     36,
                     Cube(0, 0, 1)};
  PaintLetters(c, LayOut(MAKER_NAME, l, c.width), l, chrome, 3, 26);
  // A thin rule under the name, bright in the middle and fading to both ends.
  for (int x = 8; x < c.width - 8; ++x) {
    const int fromMiddle = std::abs(x - c.width / 2) * 4096 / (c.width / 2 - 8);
    c.Set(x, 30,
          RampPick({Cube(0, 1, 2), Cube(1, 3, 3), Cube(4, 6, 3), WHITE}, 4096 - fromMiddle, x, 30));
  }
  return c;
}

Canvas DrawGameOver() {
  Canvas c(GAME_OVER.w, GAME_OVER.h);
  const Layout l{24, 30, 84, 48, 3 * 16};
  const Style ember{{Cube(1, 0, 0), Cube(3, 0, 0), Cube(5, 0, 0), Cube(7, 0, 0), Cube(7, 2, 0),
                     Cube(6, 5, 0), Cube(6, 7, 2), WHITE},
                    3400,
                    1300,
                    40,
                    40,
                    Cube(1, 0, 1)};
  PaintLetters(c, LayOut("GAME OVER", l, c.width), l, ember, 2, 28);
  Extrude(c, 2, {Cube(1, 0, 0), Cube(2, 0, 0)});
  return c;
}
