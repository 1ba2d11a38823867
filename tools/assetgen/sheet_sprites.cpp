// The battle's sprites: the four field objects, the boss, explosions and sparkles.
#include <algorithm>
#include <cstdlib>

#include "sheet_art.h"

namespace {
struct Dir {
  int x, y;  // length 256
};

// Sixteen directions around the circle, starting at +x and turning clockwise on screen.
constexpr Dir DIRS16[16] = {{256, 0},  {237, 98},   {181, 181},   {98, 237},
                            {0, 256},  {-98, 237},  {-181, 181},  {-237, 98},
                            {-256, 0}, {-237, -98}, {-181, -181}, {-98, -237},
                            {0, -256}, {98, -237},  {181, -181},  {237, -98}};

// The direction (of every `step`-th) that a point leans towards most, and how far along it.
int NearestDir(int px, int py, int step, int& reach) {
  int best = 0;
  reach = -(1 << 30);
  for (int i = 0; i < 16; i += step) {
    const int d = (px * DIRS16[i].x + py * DIRS16[i].y) / 256;
    if (d > reach) {
      reach = d;
      best = i;
    }
  }
  return best;
}

int Length(int x, int y) { return ISqrt(int64_t{x} * x + int64_t{y} * y); }
}  // namespace

Canvas DrawRedObject() {
  // A cut ruby: an octagonal table ringed by sixteen crown facets, each catching the light, with
  // bright ridges where facets meet.
  Canvas c(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int px = (x * 16 + 8 - 512), py = (y * 16 + 8 - 384) * 4 / 3;  // round out the box
      int reach;
      const int facet = NearestDir(px, py, 1, reach);
      if (reach > 490) continue;
      int second = -(1 << 30);
      for (int i = 0; i < 16; ++i) {
        if (i != facet) second = std::max(second, (px * DIRS16[i].x + py * DIRS16[i].y) / 256);
      }
      int v;
      if (reach > 262) {
        // Crown facets alternate between steep and shallow, which makes the stone sparkle.
        const int tilt = facet % 2 == 0 ? 170 : 120;
        const int nx = DIRS16[facet].x * tilt / 256, ny = DIRS16[facet].y * tilt / 256;
        const int nz = ISqrt(65536 - tilt * tilt);
        v = Lambert(nx, ny, nz) * 11 - 300 + Highlight(nx, ny, nz) * 3;
        if (reach - second < 14) v += 700;  // the ridge between two facets
      } else if (reach > 236) {
        v = 3000 - (px + py) * 2;  // the table's polished rim
      } else {
        // Light enters the table and comes back out of the far side of the stone.
        v = 1300 + (px + py) * 3;
      }
      c.Set(x, y,
            RampPick({Cube(2, 0, 0), Cube(3, 0, 0), Cube(5, 0, 0), Cube(6, 0, 0), Cube(7, 0, 0),
                      Cube(7, 1, 1), Cube(7, 2, 2), WHITE},
                     v, x, y));
    }
  }
  Outline(c, Cube(2, 0, 1));
  c.Set(22, 13, WHITE);
  c.Set(21, 13, Cube(7, 2, 2));
  c.Set(23, 13, Cube(7, 2, 2));
  c.Set(22, 12, Cube(7, 2, 2));
  c.Set(22, 14, Cube(7, 2, 2));
  return c;
}

Canvas DrawGreenObject() {
  // A living spore: a translucent membrane around a darker, veined core.
  Canvas c(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int px = x * 16 + 8 - 512, py = (y * 16 + 8 - 384) * 4 / 3;
      const int wobble = (ValueNoise(px * 2 + 3000, py * 2 + 3000, 0, 61) - 2048) / 48;
      const SpherePoint p = SphereAt(px / 16 + 32, py / 16 + 32, 32 * 16, 32 * 16, 470 + wobble);
      if (!p.inside) continue;
      const int core = Length(px + 40, py + 60);
      const int veins = ValueNoise(px * 3, py * 3, 500, 67);
      int v = Lambert(p.nx, p.ny, p.nz) * 10 + 600;
      if (core < 250) v -= 700 - core * 2;                        // the dark nucleus
      if (veins > 1950 && veins < 2150 && p.edge > 40) v += 700;  // glowing veins
      if (p.edge < 30) v += 900;                                  // membrane lit from inside
      v += Highlight(p.nx, p.ny, p.nz) * 10;
      c.Set(x, y,
            RampPick({Cube(0, 1, 0), Cube(0, 2, 0), Cube(1, 3, 0), Cube(1, 4, 1), Cube(2, 5, 1),
                      Cube(3, 6, 1), Cube(5, 7, 2), WHITE},
                     v, x, y));
    }
  }
  Outline(c, Cube(0, 1, 0));
  return c;
}

Canvas DrawBlueObject() {
  // An armoured capsule: a bevelled plate with a glowing lens and four rivets.
  Canvas c(64, 48);
  constexpr int BEVEL = 5;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      // Rounded rectangle 60x44 with corner radius 9.
      const int qx = std::max(0, std::abs(2 * x - 63) / 2 - 20);
      const int qy = std::max(0, std::abs(2 * y - 47) / 2 - 12);
      const int corner = Length(qx, qy);
      if (corner > 9) continue;
      const int edge = 9 - corner;  // pixels in from the outside
      int nx = 0, ny = 0, nz = 256;
      if (edge < BEVEL) {
        const int sx = (2 * x - 63 > 0 ? 1 : -1) * (qx > 0 ? 1 : 0);
        const int sy = (2 * y - 47 > 0 ? 1 : -1) * (qy > 0 ? 1 : 0);
        nx = sx * 150;
        ny = sy * 150;
        nz = sx != 0 && sy != 0 ? 150 : 207;
      }
      int v = Lambert(nx, ny, nz) * 12 + 400;
      if (edge >= BEVEL && (std::abs(2 * y - 47) == 11 || std::abs(2 * y - 47) == 13)) {
        v -= 500;  // seams across the plate
      }
      const int lens = Length(2 * x - 63, 2 * y - 47);
      if (lens < 26) {
        // The lens glows from within, brightest towards its upper left.
        v = 3600 - Length(2 * x - 57, 2 * y - 41) * 90;
        if (lens > 22) v = 600;
      }
      c.Set(x, y,
            RampPick({Cube(0, 0, 1), Cube(0, 1, 2), Cube(0, 2, 3), Cube(1, 3, 3), Cube(2, 5, 3),
                      Cube(4, 7, 3), WHITE},
                     v, x, y));
    }
  }
  for (const auto& [rx, ry] : {std::pair{10, 10}, {53, 10}, {10, 37}, {53, 37}}) {
    c.Set(rx, ry, Cube(4, 7, 3));
    c.Set(rx + 1, ry + 1, Cube(0, 0, 1));
  }
  Outline(c, Cube(0, 0, 1));
  return c;
}

Canvas DrawRock() {
  // A lumpy grey boulder: its outline and surface both follow the same rough noise.
  Canvas c(64, 48);
  auto height = [](int px, int py) { return FractalNoise(px * 2 + 7000, py * 2 + 7000, 0, 91, 3); };
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int px = x * 16 + 8 - 512, py = (y * 16 + 8 - 384) * 4 / 3;
      const int d = std::max(1, Length(px, py));
      const int rim = 420 + (ValueNoise(px * 300 / d + 900, py * 300 / d + 900, 0, 97) - 2048) / 22;
      if (d > rim) continue;
      const SpherePoint p = SphereAt(px / 16 + 40, py / 16 + 40, 40 * 16, 40 * 16, rim + 40);
      const int gx = height(px + 16, py) - height(px - 16, py);
      const int gy = height(px, py + 16) - height(px, py - 16);
      int nx = p.nx - gx / 3, ny = p.ny - gy / 3, nz = std::max(p.nz, 40);
      const int len = std::max(1, ISqrt(int64_t{nx} * nx + int64_t{ny} * ny + int64_t{nz} * nz));
      nx = nx * 256 / len;
      ny = ny * 256 / len;
      nz = nz * 256 / len;
      int v = Lambert(nx, ny, nz) * 14 + 300;
      if ((HashPoint(x, y, 5) & 31) == 0) v -= 600;  // pits
      c.Set(x, y,
            RampPick({Cube(1, 1, 1), Cube(2, 2, 1), Cube(3, 3, 2), Cube(4, 4, 2), Cube(5, 5, 2),
                      Cube(6, 6, 3)},
                     v, x, y));
    }
  }
  Outline(c, Cube(1, 1, 1));
  return c;
}

Canvas DrawBoss() {
  // The mother: a spiked violet shell around one burning eye.
  Canvas c(32, 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int px = x * 16 + 8 - 256, py = y * 16 + 8 - 256;
      const int d = Length(px, py);
      int reach;
      const int spike = NearestDir(px, py, 2, reach);
      const int across = std::abs(px * DIRS16[spike].y - py * DIRS16[spike].x) / 256;
      if (d > 200 && !(reach < 254 && across * 3 < (254 - reach) * 3)) continue;
      if (d > 200) {
        c.Set(x, y,
              RampPick({Cube(2, 1, 0), Cube(4, 3, 1), Cube(6, 6, 2), WHITE},
                       2600 - (reach - 200) * 40 + px * -4 + py * -4, x, y));
        continue;
      }
      const SpherePoint p = SphereAt(x, y, 256, 256, 208);
      int v = Lambert(p.nx, p.ny, p.nz) * 14 + Highlight(p.nx, p.ny, p.nz) * 8;
      // Ribs around the shell.
      if ((d / 32) % 2 == 1 && d > 100) v -= 400;
      Rgb colour = RampPick({Cube(1, 0, 1), Cube(2, 0, 2), Cube(3, 1, 2), Cube(4, 1, 3),
                             Cube(5, 2, 3), Cube(6, 4, 3), WHITE},
                            v, x, y);
      if (d < 104) {
        // The eye: a slit pupil in a glowing iris.
        const int iris = 3800 - Length(px + 24, py + 24) * 20;
        colour = std::abs(px) < 20 && d < 86
                     ? Cube(1, 0, 0)
                     : RampPick({Cube(4, 0, 0), Cube(7, 0, 0), Cube(7, 2, 0), Cube(6, 6, 0),
                                 Cube(6, 7, 2)},
                                iris, x, y);
        if (d >= 90) colour = Cube(2, 0, 0);
      }
      c.Set(x, y, colour);
    }
  }
  c.Set(14, 12, WHITE);
  return c;
}

Canvas DrawExplosion(int frame) {
  // A fireball that grows, cools from white to red and breaks up into smoke.
  static constexpr int RADIUS[4] = {10 * 16, 13 * 16, 15 * 16, 16 * 16};
  static constexpr int COOL[4] = {0, 700, 1500, 2500};
  static constexpr int COVER[4] = {16, 16, 14, 9};  // of 16: how much of the ball is drawn
  Canvas c(32, 32);
  const int r = RADIUS[frame];
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int px = x * 16 + 8 - 256, py = y * 16 + 8 - 256;
      const int d = Length(px, py);
      const int puff = FractalNoise(px * 3 + 4000, py * 3 + 4000, frame * 300, 131, 2);
      const int edge = r - (4096 - puff) * r / 4096 / 4;
      if (d > edge) continue;
      // Scattered holes, not a regular grid, so the smoke looks torn rather than screened.
      if (static_cast<int>(HashPoint(x, y, 137 + frame) & 15) >= COVER[frame] && puff < 2600) {
        continue;
      }
      const int heat = 4096 - d * 4096 / std::max(1, edge) + (puff - 2048) / 2 - COOL[frame];
      c.Set(x, y,
            RampPick({Cube(1, 1, 1), Cube(2, 1, 1), Cube(4, 0, 0), Cube(6, 0, 0), Cube(7, 1, 0),
                      Cube(7, 2, 0), Cube(6, 5, 0), Cube(6, 7, 1), WHITE},
                     heat + 1500, x, y));
    }
  }
  return c;
}

Canvas DrawSparkle(int kind) {
  // Kind 0 is a cold four-pointed star, kind 1 a warm round glow with eight short rays. Arms
  // stay at least two pixels wide so that shrinking to 17 pixels cannot lose them.
  Canvas c(31, 31);
  for (int y = 0; y < 31; ++y) {
    for (int x = 0; x < 31; ++x) {
      const int px = (x - 15) * 16, py = (y - 15) * 16;
      const int d = Length(px, py);
      const int ax = std::abs(px), ay = std::abs(py);
      int v = -1;
      if (kind == 0) {
        const int arm = std::min(ax, ay);    // distance across the nearest arm
        const int along = std::max(ax, ay);  // and along it
        if (arm <= 16 + (240 - along) / 12 && along <= 240) v = 4096 - along * 11;
        if (ax + ay < 130 && (ax == ay || std::abs(ax - ay) < 24)) v = std::max(v, 3000 - d * 10);
        if (d < 64) v = 4096;
        if (v >= 0) {
          c.Set(x, y,
                RampPick({Cube(0, 1, 2), Cube(1, 3, 3), Cube(3, 5, 3), Cube(5, 7, 3), WHITE}, v, x,
                         y));
        }
      } else {
        const int diag = std::abs(ax - ay) * 181 / 256;
        const bool ray = (std::min(ax, ay) <= 20 && d <= 200) || (diag <= 16 && d <= 150);
        if (d < 120) v = 4096 - d * 22;
        if (ray) v = std::max(v, 3200 - d * 14);
        if (v >= 0) {
          c.Set(x, y,
                RampPick({Cube(3, 0, 1), Cube(6, 0, 1), Cube(7, 2, 0), Cube(6, 6, 1), Cube(6, 7, 3),
                          WHITE},
                         v, x, y));
        }
      }
    }
  }
  return c;
}
