// The real machine's audio device, as its other parts (the music synthesiser) see it.
#pragma once
#include "platform/mixer.h"

// Adds a second source to everything the device plays; null removes it. May be called
// before the device is open; it holds across open and close.
void SdlAudioSetMusicSource(MusicRenderFn fn, void* user);
// The device's frames per second, or 0 while it is closed.
int SdlAudioRate();
