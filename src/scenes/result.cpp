// The result after a won mission: bonus points counted into the score, then the next mission.
#include "scenes/result.h"

#include <cstdio>

#include "battle/battle_frame.h"
#include "battle/battle_state.h"
#include "core/play_options.h"
#include "core/scene_state.h"
#include "gfx/font_text.h"
#include "music/music_player.h"
#include "sound/sound_bank.h"

namespace {
constexpr uint32_t GOOD_FIGHT_FRAMES = 32;
constexpr int32_t COUNT_STEP = 4;  // units of ten added to the score per frame
constexpr int32_t CLEAR_POINTS = 1000;
constexpr float COAST_STEP = 0.1f;
constexpr double COAST_FLOOR = 0.1;

struct Points {
  int32_t level, time, energy, clear, total;
};

// Worked out afresh each frame; time and energy stand still behind the result.
Points CurrentPoints() {
  Points p;
  p.level = (Level + 2) * 50;
  p.time = TimeLeft / 100;
  p.energy = PlayerGlobe.energy / 10;
  p.clear = MissionIndex == BOSS_MISSION ? CLEAR_POINTS : 0;
  p.total = p.level + p.time + p.energy + p.clear;
  return p;
}

void DrawValue(const char* label, int32_t value, int32_t y) {
  char text[32];
  std::snprintf(text, sizeof text, "%d0", value);
  gf_TextDraw(label, 80, y);
  gf_TextDraw(text, 216, y);
}

void DrawBonusTable(const Points& p) {
  gf_TextDraw("TECHNICAL BONUS POINT", 64, 64);
  DrawValue("LEVEL POINT", p.level, 112);
  DrawValue("TIME POINT", p.time, 128);
  DrawValue("ENELGY POINT", p.energy, 144);
  if (p.clear != 0) {
    gf_TextDraw("CLEAR POINT", 80, 160);
    gf_TextDraw("10000", 216, 160);
  }
  char total[48];
  std::snprintf(total, sizeof total, "TOTAL POINT  %d0", p.total);
  gf_TextDraw(total, 88, 192);
}

// Counts the bonus in; a press once it is all in moves on.
void CountUp() {
  Score += COUNT_STEP;
  if (Score >= ResultTarget) {
    Score = ResultTarget;
    if (ButtonPress()) {
      PlaySoundEffect(SOUND_CONFIRM);
      ScenePhase = 2;
    }
  } else if ((SceneTimer & 1) == 0) {
    PlaySoundEffect(SOUND_SCORE_TICK);
  }
}

void NextMission(bool bossBeaten) {
  if (!bossBeaten) gf_TextDraw("TRY TO NEXT MISSION", 80, 112);
  if (!ButtonPress() && !bossBeaten) return;
  PlaySoundEffect(SOUND_CONFIRM);
  MissionIndex += 1;
  if (MissionIndex >= MISSION_COUNT) {
    MissionIndex = 0;
    Level += 1;
  }
  ChangeScene(MissionIndex != 0 ? SCENE_BATTLE : SCENE_ENDING);
}
}  // namespace

int32_t EnterResult() {
  SceneTimer = 0;
  ScenePhase = 0;
  BattleOver = 1;
  PlaySoundEffect(SOUND_RESULT);
  SetMusicTempo(100);
  return 1;
}

int32_t ResultFrame() {
  BattleFrame();
  const Points p = CurrentPoints();
  switch (ScenePhase) {
    case 0:
      gf_TextDraw("GOOD FIGHT", 112, 112);
      if (SceneTimer > GOOD_FIGHT_FRAMES) {
        ScenePhase = 1;
        ResultTarget = p.total + Score;
      }
      break;
    case 1:
      DrawBonusTable(p);
      CountUp();
      break;
    case 2:
      NextMission(MissionIndex == BOSS_MISSION);
      break;
    default:
      break;
  }
  // The globe coasts to a stop. In the frame that entered the next mission this is already the
  // new globe, which therefore starts at 0.9 and stands until the player speeds up; the fix
  // leaves the new globe alone.
  const bool nextMissionStarted = SceneId == SCENE_BATTLE;
  if (!(nextMissionStarted && FixMissionStartSpeed) &&
      static_cast<double>(PlayerGlobe.speed) > COAST_FLOOR) {
    PlayerGlobe.speed -= COAST_STEP;
  }
  SceneTimer += 1;
  return 1;
}
