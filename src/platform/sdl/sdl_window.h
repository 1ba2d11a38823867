// The real machine's window, for the other parts of the real machine.
#pragma once
#include <SDL2/SDL.h>

// The main window, or null before it exists and after it is destroyed.
SDL_Window* SdlMainWindow();
