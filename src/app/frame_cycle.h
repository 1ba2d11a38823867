// The outer state machine and the scene table.
#pragma once
#include <cstdint>

#include "core/scene_state.h"

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

using SceneOperation = int32_t (*)();
struct SceneTableRow {
  int32_t id;
  SceneOperation enter;  // null: the scene has none
  SceneOperation frame;
};
extern const SceneTableRow SceneTable[];
extern const int32_t SceneTableRows;

extern uint32_t SystemState;
extern uint32_t ErrorFlags;

int32_t ResetSystem();
int32_t SystemFrame();
int32_t RequestShutdown();
int32_t SceneFrame();
