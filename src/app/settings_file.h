// The player's settings file: where it lives, what it holds, reading it and writing its defaults.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/controller_map.h"

// The game's controls in the order of the settings' binding keys: up, down, left, right,
// buttons 1 to 8; the keyboard has a pause entry after them.
constexpr int32_t KEYBOARD_PAUSE_ENTRY = PAD_CONTROL_COUNT;

struct GameSettings {
  LongOptions options;  // the settings that are long options as well
  bool fullScreen = false;
  bool pauseNotice = true;
  std::vector<int32_t> keys[PAD_CONTROL_COUNT + 1];  // virtual keys per control, then pause
  ControllerBindings pad = DefaultControllerBindings();
  bool fixMissionStartSpeed = false;
  bool keepHighScore = false;
};

// The defaults: the original's keys and the game as it always played.
GameSettings DefaultSettings();
// The text a missing settings file is written with: every key at its default, each with a
// comment that says what it does.
std::string DefaultSettingsText();
// Reads the file at path over settings. Each damaged or unknown line is left out and told in
// problems as "line N: ..."; the rest still counts. False (with the reason in problems) only
// when the file cannot be read at all.
bool ReadSettingsFile(const std::string& path, GameSettings* settings,
                      std::vector<std::string>* problems);
// Reads settings from text (as the file would hold it).
void ReadSettingsText(const std::string& text, GameSettings* settings,
                      std::vector<std::string>* problems);
// Writes the defaults to path, making its folder; never replaces a file that is there.
bool WriteDefaultSettings(const std::string& path, std::string* error);

// settings.ini in the machine's settings folder ($XDG_CONFIG_HOME/zizid-ozavav on Linux,
// %APPDATA%\ZIZID-OZAVAV on Windows), "" where there is none.
std::string SettingsFilePath();
// The machine's folder for the kept hi-score ($XDG_STATE_HOME/zizid-ozavav on Linux, the
// settings folder on Windows), "" where there is none.
std::string StateFolder();

// Puts the bindings and choices into effect for the input, the window and the game rules.
// Returns a line for each conflict it resolved (a pause key also bound to a control).
std::vector<std::string> ApplySettings(const GameSettings& settings);
