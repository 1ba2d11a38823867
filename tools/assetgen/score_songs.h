// The scores of the game's seven songs, each kept in a file of its own (song_*.cpp).
#pragma once

extern const char TITLE_SCORE[];     // MD00t.mid
extern const char PROLOGUE_SCORE[];  // MD01t.mid
extern const char BATTLE1_SCORE[];   // MD02t.mid
extern const char BATTLE2_SCORE[];   // MD03t.mid
extern const char BATTLE3_SCORE[];   // MD04t.mid
extern const char BOSS_SCORE[];      // MD05t.mid
extern const char ENDING_SCORE[];    // MD06t.mid
