// Names of the keys a player can bind, as the settings file spells them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The virtual-key code of a key name ("Z", "Space", "Keypad 8", "PageUp"...), in any case and
// with or without blanks; 0 for a name the game does not know.
int32_t KeyFromName(std::string_view name);
// The name of a virtual-key code as KeyFromName reads it, or "" when it has none.
std::string KeyName(int32_t virtualKey);
// Keys that keep their own meaning and are never a game control: Escape (quit), F12
// (screenshot), Pause (pause) and Alt (Alt+Enter).
bool KeyIsReserved(int32_t virtualKey);
