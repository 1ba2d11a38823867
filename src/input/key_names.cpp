// Names of the keys a player can bind: letters, digits and the keys the machine finds by place.
#include "input/key_names.h"

#include <cctype>

#include "input/pad.h"
#include "platform/platform.h"

namespace {

struct NamedKey {
  int32_t virtualKey;
  const char* name;
};

constexpr NamedKey NAMED_KEYS[] = {
    {0x08, "Backspace"},   {0x09, "Tab"},          {VK_RETURN, "Return"}, {VK_RETURN, "Enter"},
    {VK_SHIFT, "Shift"},   {0x11, "Ctrl"},         {VK_MENU, "Alt"},      {VK_PAUSE, "Pause"},
    {VK_ESCAPE, "Escape"}, {VK_SPACE, "Space"},    {0x21, "PageUp"},      {0x22, "PageDown"},
    {0x23, "End"},         {0x24, "Home"},         {VK_LEFT, "Left"},     {VK_UP, "Up"},
    {VK_RIGHT, "Right"},   {VK_DOWN, "Down"},      {0x2D, "Insert"},      {0x2E, "Delete"},
    {0x60, "Keypad 0"},    {0x61, "Keypad 1"},     {0x62, "Keypad 2"},    {0x63, "Keypad 3"},
    {0x64, "Keypad 4"},    {0x65, "Keypad 5"},     {0x66, "Keypad 6"},    {0x67, "Keypad 7"},
    {0x68, "Keypad 8"},    {0x69, "Keypad 9"},     {0x70, "F1"},          {0x71, "F2"},
    {0x72, "F3"},          {0x73, "F4"},           {0x74, "F5"},          {0x75, "F6"},
    {0x76, "F7"},          {0x77, "F8"},           {0x78, "F9"},          {0x79, "F10"},
    {0x7A, "F11"},         {VK_F12, "F12"},
};

// Upper case without blanks, so "page up" and "PageUp" are one name.
std::string Folded(std::string_view name) {
  std::string out;
  for (char c : name)
    if (c != ' ') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

int32_t KeyFromName(std::string_view name) {
  const std::string folded = Folded(name);
  if (folded.size() == 1 && std::isalnum(static_cast<unsigned char>(folded[0])) != 0)
    return folded[0];  // letters and digits are their own codes
  for (const NamedKey& k : NAMED_KEYS)
    if (folded == Folded(k.name)) return k.virtualKey;
  return 0;
}

std::string KeyName(int32_t virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
    return std::string(1, static_cast<char>(virtualKey));
  for (const NamedKey& k : NAMED_KEYS)
    if (k.virtualKey == virtualKey) return k.name;
  return "";
}

bool KeyIsReserved(int32_t virtualKey) {
  return virtualKey == VK_ESCAPE || virtualKey == VK_F12 || virtualKey == VK_PAUSE ||
         virtualKey == VK_MENU;
}
