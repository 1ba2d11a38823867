// Keyboard focus for a message box on an X display without a window manager.
#pragma once
#include <SDL2/SDL.h>

// Call before a modal box over `owner` is shown: until SdlBoxFocusStop, the box that appears over
// the owner is given the keyboard. A window manager does that itself; without one the keys would
// go on reaching the game's own (blocked) window.
void SdlBoxFocusStart(SDL_Window* owner);
void SdlBoxFocusStop();
