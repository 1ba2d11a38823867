// The player's settings file: one key per line, each with its comment, read by its own small INI reader.
#include "app/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "core/play_options.h"
#include "input/key_names.h"
#include "input/pad.h"
#include "platform/platform.h"

namespace {

// A file this large is no settings file; reading stops there rather than filling the memory.
constexpr size_t MAX_FILE_BYTES = 1 << 20;

const char* const CONTROL_KEYS[PAD_CONTROL_COUNT + 1] = {
    "up",      "down",    "left",    "right",   "button1", "button2", "button3",
    "button4", "button5", "button6", "button7", "button8", "pause"};
// The line of comment above each binding key.
const char* const CONTROL_COMMENTS[PAD_CONTROL_COUNT + 1] = {
    "Up: speeds the globe up.",
    "Down: slows the globe down.",
    "Left: turns the globe to the left.",
    "Right: turns the globe to the right.",
    "Button 1: the moon face while held.",
    "Button 2: swaps the sun and the earth face.",
    "Button 3.",
    "Button 4.",
    "Button 5.",
    "Button 6.",
    "Button 7.",
    "Button 8.",
    "Pause and resume."};
constexpr uint32_t CONTROL_BITS[PAD_CONTROL_COUNT] = {
    INPUT_UP,      INPUT_DOWN,    INPUT_LEFT,    INPUT_RIGHT,   INPUT_BUTTON1, INPUT_BUTTON2,
    INPUT_BUTTON3, INPUT_BUTTON4, INPUT_BUTTON5, INPUT_BUTTON6, INPUT_BUTTON7, INPUT_BUTTON8};

std::string Trim(const std::string& s) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "a, b ,c" into its trimmed words; an empty value is an empty list.
std::vector<std::string> Words(const char* value) {
  std::vector<std::string> words;
  std::stringstream in(value);
  for (std::string word; std::getline(in, word, ',');) words.push_back(Trim(word));
  if (words.size() == 1 && words[0].empty()) words.clear();
  return words;
}

bool ReadYesNo(const char* value, bool* out, std::string* why) {
  const std::string v = Lower(Trim(value));
  if (v == "yes" || v == "true" || v == "on" || v == "1") return *out = true, true;
  if (v == "no" || v == "false" || v == "off" || v == "0") return *out = false, true;
  *why = "wants yes or no";
  return false;
}

bool ReadPercent(const char* value, int32_t* out, std::string* why) {
  const std::string v = Trim(value);
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(v.c_str(), &end, 10);
  if (v.empty() || !std::isdigit(static_cast<unsigned char>(v[0])) || *end != '\0' ||
      errno != 0 || n > 100) {
    *why = "wants a whole number from 0 to 100";
    return false;
  }
  *out = static_cast<int32_t>(n);
  return true;
}

bool ReadChoice(const char* value, std::initializer_list<const char*> choices, std::string* out,
                std::string* why) {
  const std::string v = Lower(Trim(value));
  for (const char* c : choices) {
    if (v == c) return *out = v, true;
  }
  *why = "wants one of:";
  for (const char* c : choices) *why += *c != '\0' ? std::string(" ") + c : " (empty)";
  return false;
}

std::string YesNo(bool b) { return b ? "yes" : "no"; }

// One key of the file: its section, name, comment, how it is read and how its value is shown.
// `control` is the game control of a binding key, -1 elsewhere.
struct SettingSpec {
  const char* section;
  const char* name;
  const char* comment;
  int32_t control;
  bool (*read)(GameSettings*, int32_t control, const char* value, std::string* why);
  std::string (*show)(const GameSettings&, int32_t control);
};

bool ReadKeys(GameSettings* s, int32_t control, const char* value, std::string* why) {
  std::vector<int32_t> keys;
  for (const std::string& word : Words(value)) {
    const int32_t vk = KeyFromName(word);
    if (vk == 0) return *why = "no key is named \"" + word + "\"", false;
    if (KeyIsReserved(vk)) {
      *why = word + " keeps its own meaning and cannot be bound";
      return false;
    }
    keys.push_back(vk);
  }
  s->keys[control] = keys;
  return true;
}

std::string ShowKeys(const GameSettings& s, int32_t control) {
  std::string text;
  for (const int32_t vk : s.keys[control]) text += (text.empty() ? "" : ", ") + KeyName(vk);
  return text;
}

bool ReadPad(GameSettings* s, int32_t control, const char* value, std::string* why) {
  ControllerBindings b = s->pad;
  b.buttons[control] = 0;
  b.axisHalves[control] = 0;
  for (const std::string& word : Words(value)) {
    if (!AddControllerBinding(&b, control, word)) {
      *why = "no controller button or axis is named \"" + word + "\"";
      return false;
    }
  }
  s->pad = b;
  return true;
}

std::string ShowPad(const GameSettings& s, int32_t control) {
  return ControllerBindingNames(s.pad, control);
}

#define ZZ_BINDING(section, n, comment, read, show) {section, CONTROL_KEYS[n], comment, n, read, show}
#define ZZ_KEYBOARD(n, comment) ZZ_BINDING("keyboard", n, comment, ReadKeys, ShowKeys)
#define ZZ_PAD(n, comment) ZZ_BINDING("controller", n, comment, ReadPad, ShowPad)

const SettingSpec SETTINGS[] = {
    {"display", "fullscreen", "Start on the full screen, as the /F switch does: yes or no.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadYesNo(v, &s->fullScreen, why);
     },
     [](const GameSettings& s, int32_t) { return YesNo(s.fullScreen); }},
    {"display", "scale",
     "How the picture fills the window: aspect (4:3 with black bars), stretch (fills it all)\n"
     "or integer (the largest whole-number enlargement, centred).",
     -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadChoice(v, {"aspect", "stretch", "integer"}, &s->options.scale, why);
     },
     [](const GameSettings& s, int32_t) { return s.options.scale; }},
    {"display", "screenshot-dir", "Where F12 saves its pictures; empty: the current folder.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string*) {
       s->options.screenshotDir = Trim(v);
       return true;
     },
     [](const GameSettings& s, int32_t) { return s.options.screenshotDir; }},
    {"display", "pause-notice", "Show a small PAUSE notice over the picture while paused: yes or no.",
     -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadYesNo(v, &s->pauseNotice, why);
     },
     [](const GameSettings& s, int32_t) { return YesNo(s.pauseNotice); }},
    {"sound", "music-volume", "Music volume in percent, 0 to 100.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadPercent(v, &s->options.musicVolume, why);
     },
     [](const GameSettings& s, int32_t) { return std::to_string(s.options.musicVolume); }},
    {"sound", "sfx-volume", "Sound-effect volume in percent, 0 to 100.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadPercent(v, &s->options.sfxVolume, why);
     },
     [](const GameSettings& s, int32_t) { return std::to_string(s.options.sfxVolume); }},
    {"sound", "soundfont",
     "The General MIDI SoundFont (.sf2) for the music; empty: the first one installed.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string*) {
       s->options.soundFont = Trim(v);
       return true;
     },
     [](const GameSettings& s, int32_t) { return s.options.soundFont; }},
    {"general", "language",
     "Language of the messages outside the picture: ja or en; empty: from the locale.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadChoice(v, {"", "ja", "en"}, &s->options.language, why);
     },
     [](const GameSettings& s, int32_t) { return s.options.language; }},
    ZZ_KEYBOARD(0, "Keys for each control, by name, separated by commas; empty: none.\n"
                   "Names: A to Z, 0 to 9, Space, Return, Shift, Ctrl, Tab, Backspace, Up, Down,\n"
                   "Left, Right, Insert, Delete, Home, End, PageUp, PageDown, Keypad 0 to\n"
                   "Keypad 9, F1 to F11. Escape, F12, Pause and Alt keep their own meaning."),
    ZZ_KEYBOARD(1, nullptr),
    ZZ_KEYBOARD(2, nullptr),
    ZZ_KEYBOARD(3, nullptr),
    ZZ_KEYBOARD(4, nullptr),
    ZZ_KEYBOARD(5, nullptr),
    ZZ_KEYBOARD(6, nullptr),
    ZZ_KEYBOARD(7, nullptr),
    ZZ_KEYBOARD(8, nullptr),
    ZZ_KEYBOARD(9, nullptr),
    ZZ_KEYBOARD(10, nullptr),
    ZZ_KEYBOARD(11, nullptr),
    ZZ_KEYBOARD(KEYBOARD_PAUSE_ENTRY, "Pause always pauses; these keys do as well."),
    ZZ_PAD(0, "Game-controller buttons and axes for each control, by their SDL names:\n"
              "a, b, x, y, back, guide, start, leftstick, rightstick, leftshoulder,\n"
              "rightshoulder, dpup, dpdown, dpleft, dpright; a stick's side as -leftx, +leftx,\n"
              "-lefty, +lefty, -rightx, +rightx, -righty, +righty; lefttrigger, righttrigger.\n"
              "Start pauses the game unless it is bound here."),
    ZZ_PAD(1, nullptr),
    ZZ_PAD(2, nullptr),
    ZZ_PAD(3, nullptr),
    ZZ_PAD(4, nullptr),
    ZZ_PAD(5, nullptr),
    ZZ_PAD(6, nullptr),
    ZZ_PAD(7, nullptr),
    ZZ_PAD(8, nullptr),
    ZZ_PAD(9, nullptr),
    ZZ_PAD(10, nullptr),
    ZZ_PAD(11, nullptr),
    {"fixes", "mission-start-speed",
     "Missions after a result start at speed 1.0, as mission 1 does. The original lets them\n"
     "start at 0.9, so the globe stands until you speed up: no keeps that.",
     -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadYesNo(v, &s->fixMissionStartSpeed, why);
     },
     [](const GameSettings& s, int32_t) { return YesNo(s.fixMissionStartSpeed); }},
    {"enhancements", "keep-high-score",
     "Keep the hi-score between runs (the original forgets it): yes or no.", -1,
     [](GameSettings* s, int32_t, const char* v, std::string* why) {
       return ReadYesNo(v, &s->keepHighScore, why);
     },
     [](const GameSettings& s, int32_t) { return YesNo(s.keepHighScore); }},
};

#undef ZZ_BINDING
#undef ZZ_KEYBOARD
#undef ZZ_PAD

// Where the reader is in the text: the line's number and the section it is in.
struct LineReader {
  GameSettings* settings;
  std::vector<std::string>* problems;
  int32_t line = 0;
  std::string section;
};

void Problem(LineReader* r, const std::string& what) {
  r->problems->push_back("line " + std::to_string(r->line) + ": " + what + "; ignored");
}

// A ';' after a blank starts a comment, as in the INI files players know; one inside a word
// (a folder name) does not.
std::string WithoutComment(const std::string& s) {
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i] == ';' && (s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
  return s;
}

void ReadSetting(LineReader* r, const std::string& key, const std::string& value) {
  for (const SettingSpec& spec : SETTINGS) {
    if (r->section != spec.section || key != spec.name) continue;
    std::string why;
    if (!spec.read(r->settings, spec.control, value.c_str(), &why))
      Problem(r, "[" + r->section + "] " + key + " " + why);
    return;
  }
  Problem(r, "no setting " + key + (r->section.empty() ? std::string(" outside a section")
                                                       : " in section [" + r->section + "]"));
}

// One line: blank, a comment, a [section] or name = value. Indented lines are lines of their
// own, never the continuation of the one above.
void ReadLine(LineReader* r, const std::string& raw) {
  if (raw.find('\0') != std::string::npos) return Problem(r, "not text");
  const std::string t = Trim(WithoutComment(raw));
  if (t.empty() || t[0] == '#' || t[0] == ';') return;
  if (t[0] == '[') {
    const size_t close = t.find(']');
    if (close == std::string::npos) return Problem(r, "a section without its closing ]");
    r->section = Lower(Trim(t.substr(1, close - 1)));
    return;
  }
  const size_t equals = t.find_first_of("=:");
  if (equals == std::string::npos || equals == 0)
    return Problem(r, "not a setting of the form name = value");
  ReadSetting(r, Lower(Trim(t.substr(0, equals))), Trim(t.substr(equals + 1)));
}

// A new file at path, or null when one is there already: a file that appeared meanwhile is the
// player's and is left alone. Not fopen's "x", which Windows' C library does not know (it
// opens the file anyway, in text mode).
std::FILE* CreateNewFile(const std::string& path) {
#ifndef O_BINARY
  constexpr int O_BINARY = 0;
#endif
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "wb");
  if (f == nullptr) close(fd);
  return f;
}

}  // namespace

GameSettings DefaultSettings() {
  GameSettings s;
  for (const KeyMapEntry* e = KeyMap; e->bit != 0; ++e) {
    for (int32_t c = 0; c < PAD_CONTROL_COUNT; ++c)
      if (CONTROL_BITS[c] == e->bit) s.keys[c].push_back(e->virtualKey);
  }
  s.keys[KEYBOARD_PAUSE_ENTRY] = {'P'};
  return s;
}

std::string DefaultSettingsText() {
  const GameSettings defaults = DefaultSettings();
  std::string text =
      "# Settings of ZIZID-OZAVAV. Lines that start with # are comments. An option on the\n"
      "# command line overrides its setting for one run; --config FILE reads another file.\n"
      "# Delete this file to have it written again with the defaults.\n";
  std::string section;
  for (const SettingSpec& spec : SETTINGS) {
    if (section != spec.section) {
      section = spec.section;
      text += "\n[" + section + "]\n";
    }
    if (spec.comment != nullptr) {
      std::stringstream comment(spec.comment);
      for (std::string line; std::getline(comment, line);) text += "# " + line + "\n";
    }
    if (spec.control >= 0) text += std::string("# ") + CONTROL_COMMENTS[spec.control] + "\n";
    const std::string value = spec.show(defaults, spec.control);
    text += std::string(spec.name) + " =" + (value.empty() ? "" : " " + value) + "\n";
  }
  return text;
}

void ReadSettingsText(const std::string& text, GameSettings* settings,
                      std::vector<std::string>* problems) {
  // A byte-order mark is no part of the first line.
  const bool bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  const std::string body = bom ? text.substr(3) : text;
  LineReader reader{settings, problems, 0, {}};
  for (size_t pos = 0; pos < body.size();) {
    size_t end = body.find('\n', pos);
    if (end == std::string::npos) end = body.size();
    ++reader.line;
    ReadLine(&reader, body.substr(pos, end - pos));
    pos = end + 1;
  }
}

bool ReadSettingsFile(const std::string& path, GameSettings* settings,
                      std::vector<std::string>* problems) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    problems->push_back(std::string("cannot be read: ") + std::strerror(errno));
    return false;
  }
  std::string text(MAX_FILE_BYTES + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > MAX_FILE_BYTES) {
    problems->push_back("is larger than a settings file can be; only its start is read");
    text.resize(MAX_FILE_BYTES);
  }
  ReadSettingsText(text, settings, problems);
  return true;
}

bool WriteDefaultSettings(const std::string& path, std::string* error) {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  std::FILE* f = CreateNewFile(path);
  if (f == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  const std::string text = DefaultSettingsText();
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (written && closed) return true;
  *error = "the disk refused the text";
  std::remove(path.c_str());
  return false;
}

std::string SettingsFilePath() {
  const std::string folder = PlatformSettingsFolder();
  return folder.empty() ? "" : (std::filesystem::path(folder) / "settings.ini").string();
}

std::string StateFolder() { return PlatformStateFolder(); }

std::vector<std::string> ApplySettings(const GameSettings& settings) {
  std::vector<std::string> notes;
  std::vector<KeyMapEntry> entries;
  for (int32_t c = 0; c < PAD_CONTROL_COUNT; ++c)
    for (const int32_t vk : settings.keys[c]) entries.push_back({CONTROL_BITS[c], vk});
  SetKeyBindings(entries);
  // A key that plays cannot pause as well: the game control keeps it.
  std::vector<int32_t> pauseKeys;
  for (const int32_t vk : settings.keys[KEYBOARD_PAUSE_ENTRY]) {
    const bool plays = std::any_of(entries.begin(), entries.end(),
                                   [&](const KeyMapEntry& e) { return e.virtualKey == vk; });
    if (plays) {
      notes.push_back(KeyName(vk) + " is bound to a game control, so it does not pause");
    } else {
      pauseKeys.push_back(vk);
    }
  }
  SetPauseKeys(pauseKeys);
  PadBindings = settings.pad;
  PauseNoticeWanted = settings.pauseNotice;
  FixMissionStartSpeed = settings.fixMissionStartSpeed;
  KeepHighScore = settings.keepHighScore;
  return notes;
}
