// What the scripted machine's sound devices were asked to play.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The effect numbers played since the last call, in order; the record is cleared.
std::vector<int32_t> PlayedEffects();
// The song playing now, or "" when none is.
std::string SongPlaying();
