// The player's choices that change how the game plays or what it keeps: each is off unless the
// settings turn it on, so the game plays as it always did.
#pragma once

// Missions entered from a result start at speed 1.0, as mission 1 does, instead of 0.9.
extern bool FixMissionStartSpeed;
// The hi-score is kept between runs (the entry loads and saves it).
extern bool KeepHighScore;
// The hi-score found from an earlier run; the boot starts from it when it beats the usual 2000.
extern int KeptHighScore;
