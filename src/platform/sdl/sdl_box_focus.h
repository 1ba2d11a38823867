// Keyboard focus for a message box on an X display without a window manager.
#pragma once
#include <SDL2/SDL.h>

// Call before a modal box over `owner` is shown: until SdlBoxFocusStop, the box that appears over
// the owner is given the keyboard (a window manager does that itself; without one the keys would
// go on reaching the game's own, blocked, window), and a stop signal closes it as Escape would.
void SdlBoxFocusStart(SDL_Window* owner);
void SdlBoxFocusStop();
