// The Windows API for the files that also include platform.h: without the virtual-key macros and
// the multimedia header, whose names (VK_F12, MIDIHDR, MOM_DONE) the platform layer defines itself.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define NOVIRTUALKEYCODES
#include <windows.h>

#include <string>

// UTF-16 from and to UTF-8, the encoding of every text and path inside the game.
std::wstring WinWide(const char* utf8);
std::string WinUtf8(const wchar_t* wide);
