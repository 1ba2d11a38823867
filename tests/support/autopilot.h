// A test pilot: reads the game's state each frame and answers with InputBits that play it.
#pragma once
#include <cstdint>

// Presses through the menus and fights every mission: the nearest object it has an open way to,
// rammed with the moon face in the frame of the hit, and the boss rammed in the last mission.
uint32_t AutopilotInput();
// Mashes buttons on the menus but flies aimlessly, so missions are lost by time.
uint32_t LosingPilotInput();

// The soak's input for frame n (counted from 0): segments of the untouched attract cycle, the
// pilot alone and the pilot with mashing mixed in by a fixed-seed generator of its own, so a
// soak plays the same game everywhere.
uint32_t SoakInput(int64_t frame);

// Holds exactly the keys that produce these InputBits on the scripted machine.
void HoldPadBits(uint32_t bits);
// A fresh program on the scripted machine with its window made, before its first frame.
bool StartScriptedGame();
// One frame as the message loop runs it, with these bits held.
void PlayFrame(uint32_t bits);
// Ends that game: a recorder left on is finished, the keys let go and the program shut down.
void StopScriptedGame();
