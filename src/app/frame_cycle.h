// The outer state machine, the scene table and the input every scene reads.
#pragma once
#include <cstdint>

#include "input/pad.h"

// SystemState values.
constexpr uint32_t SYSTEM_STARTUP = 1;
constexpr uint32_t SYSTEM_RUNNING = 64;
constexpr uint32_t SYSTEM_SHUTDOWN = 128;
constexpr uint32_t SYSTEM_ENDED = 129;
constexpr uint32_t SYSTEM_FAILED = 250;

// ErrorFlags bits; the report lists them in this order.
constexpr uint32_t ERR_INIT = 1;
constexpr uint32_t ERR_DIRECTDRAW = 2;
constexpr uint32_t ERR_DIRECT3D = 4;
constexpr uint32_t ERR_DIRECTSOUND = 8;
constexpr uint32_t ERR_MIDISTREAM = 32;
constexpr uint32_t ERR_FILE = 256;
constexpr uint32_t ERR_MEMORY = 512;
constexpr uint32_t ERR_SERIOUS = 65536;

// Scene numbers. 8 and 32 dispatch like 16 and 64 but have no enter operation.
constexpr int32_t SCENE_BOOT = 1;
constexpr int32_t SCENE_LOGO = 4;
constexpr int32_t SCENE_TITLE_NO_ENTER = 8;
constexpr int32_t SCENE_TITLE = 16;
constexpr int32_t SCENE_PROLOGUE = 24;
constexpr int32_t SCENE_BRIEFING_NO_ENTER = 32;
constexpr int32_t SCENE_BRIEFING = 64;
constexpr int32_t SCENE_BATTLE = 128;
constexpr int32_t SCENE_RESULT = 130;
constexpr int32_t SCENE_GAMEOVER = 160;
constexpr int32_t SCENE_ENDING = 250;

using SceneOperation = int32_t (*)();
struct SceneTableRow {
  int32_t id;
  SceneOperation enter;  // null: the scene has none
  SceneOperation frame;
};
extern const SceneTableRow SceneTable[];
extern const int32_t SceneTableRows;

struct InputStateRecord {
  PadReport pad;      // this frame's reading; pad.bits is the current InputBits
  uint32_t pressed;   // bits newly pressed this frame
  uint32_t previous;  // the previous frame's InputBits
};

extern uint32_t SystemState;
extern uint32_t ErrorFlags;
extern int32_t SceneId;
extern uint32_t SceneTimer;
extern int32_t ScenePhase;
extern InputStateRecord InputState;

// True when a button (not a direction, not Escape) went down this frame.
bool ButtonPress();

int32_t ResetSystem();
int32_t SystemFrame();
int32_t RequestShutdown();
// Runs scene n's enter operation (if any), then makes n current.
int32_t ChangeScene(int32_t n);
int32_t SceneFrame();
