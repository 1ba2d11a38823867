// The scores of the game's seven songs, each kept in a file of its own (song_*.cpp).
#pragma once

extern const char kTitleScore[];     // MD00t.mid
extern const char kPrologueScore[];  // MD01t.mid
extern const char kBattle1Score[];   // MD02t.mid
extern const char kBattle2Score[];   // MD03t.mid
extern const char kBattle3Score[];   // MD04t.mid
extern const char kBossScore[];      // MD05t.mid
extern const char kEndingScore[];    // MD06t.mid
