// Cost of one full battle frame: mission 9 with every object, a full explosion pool and the boss.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "app/frame_cycle.h"
#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/explosions.h"
#include "gfx/surface.h"
#include "music/music_player.h"

namespace {

void BM_BattleFrameMissionNine(benchmark::State& state) {
  static const bool musicUp = MusicInit() != 0;  // as the first frame does, once
  benchmark::DoNotOptimize(musicUp);
  Surface* screen = CreateSurface(320, 240);
  Surface* sheet = CreateSurface(319, 240);
  Clipper clip{Box{0, 0, 320, 240}};
  screen->clipper = &clip;
  sheet->hasColorKey = true;
  // A sheet with no key-coloured pixels, so every blit copies every pixel.
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 319; ++x) sheet->pixels[y * sheet->pitch + x] = 1 + (x + y) % 250;
  ScreenSurface = screen;
  SheetSurface = sheet;
  MissionIndex = 8;
  Level = 0;
  EnterBattle();
  ScenePhase = 0;
  const GlobeRecord globe = PlayerGlobe;
  const BossRecord boss = BossState;
  int32_t cells[CELL_COUNT];
  int32_t hp[CELL_COUNT];
  std::copy(CellTypes, CellTypes + CELL_COUNT, cells);
  std::copy(CellHp, CellHp + CELL_COUNT, hp);
  // The reset of the field and the screen fill are timed too, as the frame cycle's fill is.
  for (auto _ : state) {
    std::copy(cells, cells + CELL_COUNT, CellTypes);
    std::copy(hp, hp + CELL_COUNT, CellHp);
    PlayerGlobe = globe;
    BossState = boss;
    TimeLeft = 5000;
    SceneTimer = 1;
    for (int32_t k = 0; k < EXPLOSION_COUNT; ++k) SpawnExplosion(16 * k, 240 + (k % 8) * 24);
    gf_DD_ScrFill(screen, 0);
    BattleFrame();
    BossStep();
    benchmark::DoNotOptimize(screen->pixels[0]);
  }
  ScreenSurface = nullptr;
  SheetSurface = nullptr;
  ReleaseSurface(screen);
  ReleaseSurface(sheet);
}
BENCHMARK(BM_BattleFrameMissionNine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
