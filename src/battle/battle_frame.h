// One battle frame, the globe's steering and energy, and the mission setup that starts it.
#pragma once
#include <cstdint>

// Enter and frame operations of the battle scene (128).
int32_t EnterBattle();
int32_t BattleFrame();

// Applies the pad to the globe's face, heading and speed; 1 when a turn key was held.
int32_t SteerGlobe();
// Changes the globe's energy; 1 when this call took it below zero (and lost the mission).
int32_t AddEnergy(int32_t delta);
// World y shown at the top of the screen, following the globe.
int32_t CameraTop();
