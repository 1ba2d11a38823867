// The scene table: which enter and frame operation belong to each scene number.
#include "app/frame_cycle.h"
#include "battle/battle_frame.h"

const SceneTableRow SceneTable[] = {
    {SCENE_BOOT, nullptr, nullptr},           {SCENE_LOGO, nullptr, nullptr},
    {SCENE_TITLE_NO_ENTER, nullptr, nullptr}, {SCENE_TITLE, nullptr, nullptr},
    {SCENE_PROLOGUE, nullptr, nullptr},       {SCENE_BRIEFING_NO_ENTER, nullptr, nullptr},
    {SCENE_BRIEFING, nullptr, nullptr},       {SCENE_BATTLE, EnterBattle, BattleFrame},
    {SCENE_RESULT, nullptr, nullptr},         {SCENE_GAMEOVER, nullptr, nullptr},
    {SCENE_ENDING, nullptr, nullptr},
};
const int32_t SceneTableRows = sizeof(SceneTable) / sizeof(SceneTable[0]);
