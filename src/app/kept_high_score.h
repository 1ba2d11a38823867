// The hi-score kept between runs, when the player asks for it: one number in the state folder.
#pragma once
#include <cstdint>
#include <string>

// The score in folder/hiscore. False when there is none yet (error empty) or when the file is
// damaged (error says how; the file is left for the next save to replace).
bool LoadKeptHighScore(const std::string& folder, int32_t* score, std::string* error);
// Writes the score through a file of its own that then takes the old one's name, so that a
// failed write never leaves half a number behind. Makes the folder when missing.
bool SaveKeptHighScore(const std::string& folder, int32_t score, std::string* error);
