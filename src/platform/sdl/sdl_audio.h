// The real machine's audio device, as its other parts (the music synthesiser) see it.
#pragma once
#include "platform/mixer.h"

// Adds a second source to everything the device plays; null removes it. May be called
// before the device is open; it holds across open and close.
void SdlAudioSetMusicSource(MusicRenderFn fn, void* user);
// The device's frames per second, or 0 while it is closed.
int SdlAudioRate();
// An output device appeared or went away (SDL's device events). The game goes on silent while
// its device is gone and takes the default device again when one appears.
void SdlAudioDeviceEvent(bool added, uint32_t which, bool capture);
// Holds the song where it is, or lets it go on (with the audio device's pause). Defined by the
// machine's MIDI side: the sequencer here, the system's stream on Windows.
void SdlMidiPause(bool paused);
// The open output device's id, or 0 while there is none.
uint32_t SdlAudioDeviceId();
