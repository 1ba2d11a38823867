// The real machine's window, for the other parts of the real machine.
#pragma once
#include <SDL2/SDL.h>

#include <cstdint>

// The main window, or null before it exists. After the game has destroyed its window the SDL
// window stays (hidden) until the program ends, so a renderer made on it can still be released.
SDL_Window* SdlMainWindow();
// Brings the main window to the front (another copy of the program asked for it).
void SdlRaiseMainWindow();
// The virtual-key code (VK_*) of a key event, or 0 for keys the game has no code for.
int32_t SdlVirtualKey(SDL_Keycode key, SDL_Scancode scancode);
// Answers the requests of later copies that found this one (called by the event pump).
void SdlServeInstanceRequests();
// Return went down or up; whether Alt was held then (Alt+Return is kept from the game).
void SdlNoteReturnKey(bool down, bool altHeld);
// Applies the pointer and the minimum size as last asked again, after the window was made anew
// (for a renderer) or changed its mode.
void SdlRestoreWindowState();
// Whether a stop signal came since the last call (sdl_stop_signals.cpp).
bool SdlTakeStopSignal();
// Whether one came that the event pump has not taken yet; safe on any thread.
bool SdlStopSignalPending();
