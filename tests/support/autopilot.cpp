// The test pilot's decisions, from the same state a player sees on the screen.
#include "support/autopilot.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "core/math_helpers.h"
#include "input/pad.h"
#include "input/replay.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

namespace {
uint32_t PilotFrames = 0;

// A button that goes down on every other frame, so that each press is a new one.
uint32_t Tap(uint32_t button) { return (PilotFrames & 1) ? button : 0; }

bool Empty(int32_t c, int32_t r) {
  return c >= 0 && c < FIELD_COLUMNS && r >= 0 && r < FIELD_ROWS &&
         CellTypes[5 * r + c] == CELL_EMPTY;
}

// The open cells beside cell i (down, up, left, right), -1 where there is none.
void OpenNeighbours(int32_t i, int32_t out[4]) {
  const int32_t c = i % 5, r = i / 5, dc[4] = {0, 0, -1, 1}, dr[4] = {1, -1, 0, 0};
  for (int32_t k = 0; k < 4; ++k)
    out[k] = Empty(c + dc[k], r + dr[k]) ? 5 * (r + dr[k]) + c + dc[k] : -1;
}

int32_t GlobeCell() {
  return 5 * std::clamp(PlayerGlobe.y / 48, 0, 9) + std::clamp(PlayerGlobe.x / 64, 0, 4);
}

// A breadth-first walk through open cells from start: each cell's steps (-1: out of reach) and
// the cells in the order reached; returns how many were reached.
int32_t Walk(int32_t start, int32_t steps[CELL_COUNT], int32_t order[CELL_COUNT]) {
  std::fill(steps, steps + CELL_COUNT, -1);
  int32_t head = 0, tail = 1, next[4];
  steps[order[0] = start] = 0;
  for (; head < tail; ++head) {
    OpenNeighbours(order[head], next);
    for (int32_t n : next)
      if (n >= 0 && steps[n] < 0) steps[n] = steps[order[head]] + 1, order[tail++] = n;
  }
  return tail;
}

// The breakable cell to go for: the fewest open cells away that has an open neighbour in reach
// (objects walled in by others come free as those break), the nearer one on a tie; -1 when none.
int32_t ChooseTarget() {
  int32_t steps[CELL_COUNT], order[CELL_COUNT];
  Walk(GlobeCell(), steps, order);
  int32_t best = -1;
  int64_t bestCost = INT64_MAX;
  for (int32_t i = 0; i < CELL_COUNT; ++i) {
    if (CellTypes[i] > CELL_BLUE) continue;
    int32_t next[4], reach = INT32_MAX;
    OpenNeighbours(i, next);
    for (int32_t n : next)
      if (n >= 0 && steps[n] >= 0) reach = std::min(reach, steps[n]);
    if (reach == INT32_MAX) continue;
    const int64_t dx = 64 * (i % 5) + 32 - PlayerGlobe.x, dy = 48 * (i / 5) + 24 - PlayerGlobe.y;
    const int64_t cost = int64_t{reach} * 1000000 + dx * dx + dy * dy;
    if (cost < bestCost) bestCost = cost, best = i;
  }
  return best;
}

uint32_t Steer(int32_t tx, int32_t ty, float cruise) {
  uint32_t bits = 0;
  const double aim = std::atan2(double(ty - PlayerGlobe.y), double(tx - PlayerGlobe.x));
  // The signed difference of the two headings, -128..127.
  const int32_t turn = static_cast<int8_t>(std::lround(aim * 128.0 / M_PI) - PlayerGlobe.heading);
  if (turn > 4) bits |= INPUT_RIGHT;
  if (turn < -4) bits |= INPUT_LEFT;
  const int32_t far = std::abs(tx - PlayerGlobe.x) + std::abs(ty - PlayerGlobe.y);
  const float wanted = (turn > 24 || turn < -24) ? 2.0f : std::min(cruise, 2.0f + far / 12.0f);
  if (PlayerGlobe.speed < wanted) bits |= INPUT_UP;
  if (PlayerGlobe.speed > wanted + 0.5f) bits |= INPUT_DOWN;
  return bits;
}

uint32_t FightBoss() {
  const int32_t tx = BossState.x + 8, ty = BossState.y + 8;
  const int32_t d = std::abs(tx - PlayerGlobe.x) + std::abs(ty - PlayerGlobe.y);
  // The moon face doubles a ram.
  return Steer(tx, ty, 12.0f) | (d < 96 && PlayerGlobe.energy > 200 ? INPUT_BUTTON1 : 0);
}

// The next cell on a shortest way through open cells from the globe's cell to cell goal: the
// first cell a walk back from the goal reaches that touches the globe's cell.
int32_t NextCellTowards(int32_t goal) {
  const int32_t from = GlobeCell();
  if (from == goal) return goal;
  int32_t steps[CELL_COUNT], order[CELL_COUNT];
  const int32_t reached = Walk(goal, steps, order);
  for (int32_t k = 0; k < reached; ++k)
    if (std::abs(order[k] % 5 - from % 5) + std::abs(order[k] / 5 - from / 5) == 1) return order[k];
  return goal;  // walled in: go straight and take the knocks
}

// Objects are rammed straight from an open neighbouring cell reached through open cells.
uint32_t Approach(int32_t target) {
  const int32_t from = GlobeCell();
  const bool beside = std::abs(target % 5 - from % 5) + std::abs(target / 5 - from / 5) == 1;
  const int32_t hop = beside ? target : NextCellTowards(target);
  return Steer(64 * (hop % 5) + 32, 48 * (hop / 5) + 24, beside ? 7.0f : 5.0f);
}

// The cell the globe will run into this frame with these bits held, or -1: the game's own
// steering and movement rules played one frame ahead.
int32_t CellHitNext(uint32_t bits) {
  const int32_t turn = (bits & INPUT_RIGHT) ? 8 : (bits & INPUT_LEFT) ? -8 : 0;
  const int32_t heading = (PlayerGlobe.heading + turn) & 255;
  float speed = PlayerGlobe.speed;
  if ((bits & INPUT_UP) && speed < 16.0f) speed += 0.2f;
  if (!(bits & INPUT_UP) && (bits & INPUT_DOWN) && speed > 2.0f) speed -= 0.2f;
  const int32_t r = static_cast<int32_t>(speed);
  const int32_t x = std::clamp(PlayerGlobe.x + ScaledCos(heading, r), 0, FIELD_WIDTH - 1);
  const int32_t y = std::clamp(PlayerGlobe.y + ScaledSin(heading, r), 0, FIELD_HEIGHT - 1);
  for (int32_t i = 0; i < CELL_COUNT; ++i)  // borders belong to both cells
    if (CellTypes[i] != CELL_EMPTY && std::abs(x - 64 * (i % 5) - 32) <= 32 &&
        std::abs(y - 48 * (i / 5) - 24) <= 24)
      return i;
  return -1;
}

uint32_t FightMission() {
  if (MissionIndex == BOSS_MISSION) return FightBoss();
  const int32_t target = ChooseTarget();
  if (target < 0) return 0;
  // Sun hits red hardest, earth hits blue; green is the same either way.
  const int32_t type = CellTypes[target], face = type == CELL_BLUE ? MODE_TERA : MODE_SUN;
  const bool swap = PlayerGlobe.mode != face && type != CELL_GREEN;
  const uint32_t bits = Approach(target) | (swap ? Tap(INPUT_BUTTON2) : 0);
  // The moon face hits every colour hardest but drains energy each frame it is worn: wear it
  // only in the frame of a ram.
  const int32_t cell = CellHitNext(bits);
  const bool ram = cell >= 0 && CellTypes[cell] <= CELL_BLUE && PlayerGlobe.energy > 60;
  return ram ? bits | INPUT_BUTTON1 : bits;
}
}  // namespace

uint32_t AutopilotInput() {
  ++PilotFrames;
  return SceneId == SCENE_BATTLE ? FightMission() : Tap(INPUT_BUTTON2);
}

uint32_t LosingPilotInput() {
  ++PilotFrames;
  return SceneId == SCENE_BATTLE ? INPUT_RIGHT : Tap(INPUT_BUTTON2);  // circles, hardly rams
}

uint32_t SoakInput(int64_t frame) {
  constexpr int64_t SEGMENT_FRAMES = 6000;
  static uint32_t mash = 12345;
  const auto next = [] { return (mash = mash * 1103515245u + 12345u) >> 16; };
  const int64_t segment = (frame / SEGMENT_FRAMES) % 3;
  if (segment == 0) return 0;
  const uint32_t bits = AutopilotInput();
  return segment == 2 && next() % 4 == 0 ? bits ^ (next() & 0x3F) : bits;
}

void HoldPadBits(uint32_t bits) {
  const std::pair<int32_t, uint32_t> keys[] = {{VK_UP, INPUT_UP},     {VK_DOWN, INPUT_DOWN},
                                               {VK_LEFT, INPUT_LEFT}, {VK_RIGHT, INPUT_RIGHT},
                                               {'Z', INPUT_BUTTON1},  {'X', INPUT_BUTTON2}};
  for (auto [key, bit] : keys) FakeSetKeyHeld(key, (bits & bit) != 0);
}

bool StartScriptedGame() {
  FakeSystemReset();
  FakeDisplayReset();
  FakeAudioReset();
  FakeMidiResetAll();
  SoundReady = false;  // a released bank stays marked ready; each game opens its own
  const bool window = CreateMainWindow() == 1;
  InputState = {};
  ClockChanges = 0;
  ResetSystem();
  return window;
}

void PlayFrame(uint32_t bits) {
  HoldPadBits(bits);
  ++ClockChanges;
  SystemFrame();
}

void StopScriptedGame() {
  if (ReplayIsRecording()) ReplayFinish(nullptr);
  HoldPadBits(0);
  RequestShutdown();
  SystemFrame();
}
