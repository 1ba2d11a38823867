// The scene table: which enter and frame operation belong to each scene number.
#include "app/frame_cycle.h"
#include "battle/battle_frame.h"
#include "scenes/boot_logo.h"
#include "scenes/briefing.h"
#include "scenes/ending.h"
#include "scenes/game_over.h"
#include "scenes/result.h"
#include "scenes/title_prologue.h"

const SceneTableRow SceneTable[] = {
    {SCENE_BOOT, nullptr, BootFrame},
    {SCENE_LOGO, EnterLogo, LogoFrame},
    {SCENE_TITLE_NO_ENTER, nullptr, TitleFrame},
    {SCENE_TITLE, EnterTitle, TitleFrame},
    {SCENE_PROLOGUE, EnterPrologue, PrologueFrame},
    {SCENE_BRIEFING_NO_ENTER, nullptr, BriefingFrame},
    {SCENE_BRIEFING, EnterBriefing, BriefingFrame},
    {SCENE_BATTLE, EnterBattle, BattleFrame},
    {SCENE_RESULT, EnterResult, ResultFrame},
    {SCENE_GAMEOVER, EnterGameOver, GameOverFrame},
    {SCENE_ENDING, EnterEnding, EndingFrame},
};
const int32_t SceneTableRows = sizeof(SceneTable) / sizeof(SceneTable[0]);
