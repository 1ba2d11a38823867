// The mission table and every variable the battle shares with the scenes around it.
#pragma once
#include <cstdint>

#include "core/math_helpers.h"

// Cell types, as stored in the mission table and in CellTypes.
constexpr int32_t CELL_RED = 0;
constexpr int32_t CELL_GREEN = 1;
constexpr int32_t CELL_BLUE = 2;
constexpr int32_t CELL_ROCK = 3;
constexpr int32_t CELL_EMPTY = 4;

// Globe faces.
constexpr int32_t MODE_SUN = 0;
constexpr int32_t MODE_TERA = 1;
constexpr int32_t MODE_MOON = 2;

// The field: 5 columns by 10 rows of 64x48 cells, 320x480 world units.
constexpr int32_t MISSION_COUNT = 10;
constexpr int32_t FIELD_COLUMNS = 5;
constexpr int32_t FIELD_ROWS = 10;
constexpr int32_t CELL_COUNT = FIELD_COLUMNS * FIELD_ROWS;
constexpr int32_t CELL_WIDTH = 64;
constexpr int32_t CELL_HEIGHT = 48;
constexpr int32_t FIELD_WIDTH = 320;
constexpr int32_t FIELD_HEIGHT = 480;
constexpr int32_t BOSS_MISSION = 9;  // MissionIndex of "MOTHER OF DURUZ"

// Energy and time at mission start.
constexpr int32_t GLOBE_START_ENERGY = 999;
constexpr int32_t MISSION_FRAMES = 5000;

// The mini-map lives on the sheet; it is painted there and copied to the screen every frame.
constexpr Box RADAR_PANEL = {0, 208, 22, 32};

struct MissionRecord {
  const char* name;
  int32_t startX;  // world corner of the start cell
  int32_t startY;
  int32_t cells[CELL_COUNT];
};

extern const MissionRecord MissionTable[MISSION_COUNT];
extern const char* MissionNames[MISSION_COUNT];

// Game progress; points are in units of ten.
extern int32_t Score;
extern int32_t HiScore;
extern int32_t MissionIndex;
extern int32_t Level;

// Battle variables.
extern int32_t TimeLeft;
extern int32_t ObjectsLeft;
extern int32_t MissionCleared;
extern int32_t MissionFailed;
extern int32_t BattleOver;
extern int32_t ResultTarget;
extern int32_t GlobeScreenX;
extern int32_t GlobeScreenY;
extern int32_t CellTypes[CELL_COUNT];
extern int32_t CellHp[CELL_COUNT];

struct GlobeRecord {
  int32_t x;  // world centre, kept in 0..319 and 0..479
  int32_t y;
  int32_t prevX;
  int32_t prevY;
  int32_t heading;  // Angle256
  float speed;
  int32_t energy;
  int32_t mode;
  int32_t savedMode;  // the face to return to when the moon button is let go
};

extern GlobeRecord PlayerGlobe;

// Radar mark of cell i on the sheet: a 3x2 box inside the panel.
Box RadarMarkBox(int32_t i);
