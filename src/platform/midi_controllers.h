// The MIDI controller numbers the sequencer and the built-in synthesiser act on.
#pragma once

constexpr int CC_VOLUME = 7;
constexpr int CC_PAN = 10;
constexpr int CC_EXPRESSION = 11;
constexpr int CC_SUSTAIN = 64;  // values from 64 on hold the pedal down
constexpr int CC_ALL_SOUND_OFF = 120;
constexpr int CC_RESET_CONTROLLERS = 121;
constexpr int CC_ALL_NOTES_OFF = 123;
