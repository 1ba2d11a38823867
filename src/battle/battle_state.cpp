// The mission table and the program-wide battle state.
#include "battle/battle_state.h"

namespace {

// Builds a mission from ten rows of five letters: R G B red, green, blue, X rock, '.' empty.
constexpr MissionRecord Mission(const char* name, int32_t startX, int32_t startY,
                                const char* rows) {
  MissionRecord m{name, startX, startY, {}};
  int32_t i = 0;
  for (const char* p = rows; *p != '\0' && i < CELL_COUNT; ++p) {
    switch (*p) {
      case 'R':
        m.cells[i++] = CELL_RED;
        break;
      case 'G':
        m.cells[i++] = CELL_GREEN;
        break;
      case 'B':
        m.cells[i++] = CELL_BLUE;
        break;
      case 'X':
        m.cells[i++] = CELL_ROCK;
        break;
      case '.':
        m.cells[i++] = CELL_EMPTY;
        break;
      default:
        break;
    }
  }
  return m;
}

}  // namespace

constexpr MissionRecord MissionTable[MISSION_COUNT] = {
    Mission("RED OR BLUE", 128, 432, "...../.R.B./.R.B./...../...../...../...../...../...../....."),
    Mission("THE GRAY OBJECT", 128, 384,
            "...../...../...../...../XBXBX/XRXRX/...../...../...../....."),
    Mission("ENCOUNT GREEN", 128, 384,
            "...../..G../.GXG./..G../...../...../...../X...X/XX.XX/.XXX."),
    Mission("ASTEROID OF CAOS", 128, 384,
            "GG.X./GG.../X..../.BB../.BB../...X./.X.../....X/X..RR/...RR"),
    Mission("LABYRINTH", 128, 216, "...../.XXXG/.XBBB/.XXXX/...../...../XXXX./RRRX./GXXX./....."),
    Mission("DEAD LINE", 128, 432, "X.X.X/.BGB./XRBGX/.GRR./XRBGX/.GRB./XRGBX/...../...../....."),
    Mission("ENEMY BASE", 0, 432, "GX.../.X.XG/...XX/.X.../XXX.X/.GX../.XXX./...../XX.X./...XG"),
    Mission("POINT TO POINT", 128, 288,
            ".X.X./R.G.B/.X.X./G.G.G/.X.X./B.B.B/.X.X./R.R.R/.X.X./....."),
    Mission("DEAD OR ALIVE", 128, 240,
            ".BBB./BBBBB/GGRGG/GRRRG/GR.RG/GR.RG/GRRRG/GGRGG/BBBBB/.BBB."),
    Mission("MOTHER OF DURUZ", 128, 240,
            "X...X/...../...../...../...../...../...../...../...../X...X"),
};

const char* MissionNames[MISSION_COUNT] = {
    MissionTable[0].name, MissionTable[1].name, MissionTable[2].name, MissionTable[3].name,
    MissionTable[4].name, MissionTable[5].name, MissionTable[6].name, MissionTable[7].name,
    MissionTable[8].name, MissionTable[9].name,
};

int32_t Score = 0;
int32_t HiScore = 2000;
int32_t MissionIndex = 0;
int32_t Level = 0;

int32_t TimeLeft = 0;
int32_t ObjectsLeft = 0;
int32_t MissionCleared = 0;
int32_t MissionFailed = 0;
int32_t BattleOver = 0;
int32_t ResultTarget = 0;
int32_t GlobeScreenX = 0;
int32_t GlobeScreenY = 0;
int32_t CellTypes[CELL_COUNT] = {};
int32_t CellHp[CELL_COUNT] = {};

GlobeRecord PlayerGlobe = {};

Box RadarMarkBox(int32_t i) {
  return Box{RADAR_PANEL.x + 1 + 4 * (i % FIELD_COLUMNS),
             RADAR_PANEL.y + 1 + 3 * (i / FIELD_COLUMNS), 3, 2};
}
