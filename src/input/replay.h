// Input recording and replay: the InputBits of every frame, so the same game happens again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// File layout (little-endian 32-bit words):
//   "ZZRP", version (1), switches (bit 0: slow "/S", bit 1: missions after a result start at
//   speed 1.0), frame count N, run count R,
//   then R runs of (InputBits, frames >= 1) whose frames add up to N.
constexpr uint32_t REPLAY_VERSION = 1;
constexpr uint32_t REPLAY_SWITCH_SLOW = 1;
constexpr uint32_t REPLAY_SWITCH_START_SPEED_FIX = 2;

struct ReplayData {
  uint32_t switches = 0;
  std::vector<uint32_t> bits;  // one word per frame
};

// Serialises and parses the file form; parsing fails with a reason, never reads past the end.
std::vector<uint8_t> EncodeReplay(const ReplayData& data);
bool DecodeReplay(const uint8_t* bytes, size_t size, ReplayData* out, std::string* error);

// The game's use: at most one of recording and playing is active.
// Creates the file at once: false (with the reason) when it cannot be made.
bool ReplayStartRecording(const char* path, uint32_t switches, std::string* error = nullptr);
bool ReplayStartPlaying(const char* path, ReplayData* loaded, std::string* error);
bool ReplayIsPlaying();
bool ReplayIsRecording();
// Called once per input read: records the bits, or replaces them with the recorded ones.
// A replay that has run out gives 0 (nothing held) and sets ReplayExhausted.
uint32_t ReplayFilterInput(uint32_t liveBits);
bool ReplayExhausted();
// Writes the recording (if any) and ends recording or playing; false if the file failed.
bool ReplayFinish(std::string* error);
