// The scene state every layer shares.
#include "core/scene_state.h"

int32_t SceneId = SCENE_BOOT;
uint32_t SceneTimer = 0;
int32_t ScenePhase = 0;
InputStateRecord InputState = {};
uint32_t ClockChanges = 0;

bool ButtonPress() { return (InputState.pressed & INPUT_ANY_BUTTON) != 0; }
