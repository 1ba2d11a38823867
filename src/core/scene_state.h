// The scene state every layer shares: scene numbers, the current scene, its timer and phase, this
// frame's input and the count of clock changes.
#pragma once
#include <cstdint>

#include "core/input_bits.h"

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

struct InputStateRecord {
  PadReport pad;      // this frame's reading; pad.bits is the current InputBits
  uint32_t pressed;   // bits newly pressed this frame
  uint32_t previous;  // the previous frame's InputBits
};

extern int32_t SceneId;
extern uint32_t SceneTimer;
extern int32_t ScenePhase;
extern InputStateRecord InputState;
extern uint32_t ClockChanges;  // clock changes the frames stood for: 1 each, 41 with "/S"

// True when a button (not a direction, not Escape) went down this frame.
bool ButtonPress();
// Runs scene n's enter operation (if any), then makes n current. Defined with the scene table
// in the frame cycle, which knows every scene.
int32_t ChangeScene(int32_t n);
