// The player's fixes and enhancements, all off until the settings say otherwise.
#include "core/play_options.h"

bool FixMissionStartSpeed = false;
bool KeepHighScore = false;
int KeptHighScore = 0;
