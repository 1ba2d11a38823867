// The game's MIDI stream on a system MIDI stream: the game's buffer headers matched to the
// system's, their flags kept as the game expects, and finished buffers handed back to the game on
// a thread of ours (the system's callback thread must not call back into the stream).
#pragma once
#include <cstdint>

#include "platform/platform.h"
#include "platform/win/win_midi_system.h"

// False when the system opens no stream (no device): the caller plays the music itself.
bool WinStreamOpen(const WinMidiSystem* system, PlatformMidiCallback callback, uintptr_t instance);
bool WinStreamIsOpen();
bool WinStreamSetTimeDivision(uint32_t division);
bool WinStreamPrepare(MIDIHDR* header);
bool WinStreamUnprepare(MIDIHDR* header);  // false while queued
bool WinStreamOut(MIDIHDR* header);        // needs a prepared header
// The music volume in percent: each buffer's note-on velocities are scaled as it goes out.
void WinStreamSetVelocityPercent(int32_t percent);
bool WinStreamRestart();
bool WinStreamPause(bool paused);  // holds the system's stream where it is, or lets it go on
// Hands every queued buffer back before it returns (from the system, within a time limit).
bool WinStreamStop();
bool WinStreamReset();
bool WinStreamClose();  // hands back whatever is still queued, then lets go of the system
