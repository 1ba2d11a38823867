// The switch parser and the split of the port's long options from the switch text.
#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/message_loop.h"

int32_t ParseCommandLine(const char* text) {
  EmulationOnly = 1;
  FullScreen = 0;
  SystemMemorySurfaces = 1;
  LastClock = 0;
  SlowSkip = 0;
  SkipLeft = 0;
  if (text == nullptr) return 1;
  const char* p = text;
  while (*p != '\0') {
    if (*p++ != '/') continue;
    // A letter counts only right after a slash; anything else is looked at again as is.
    switch (*p) {
      case 'E':
      case 'e':
        EmulationOnly = 0;
        break;
      case 'F':
      case 'f':
        FullScreen = 1;
        break;
      case 'M':
      case 'm':
        SystemMemorySurfaces = 0;
        break;
      case 'S':
      case 's':
        SlowSkip = SLOW_SKIP_CHANGES;
        SkipLeft = 0;
        break;
      default:
        continue;
    }
    ++p;
  }
  return 1;
}

namespace {

// A whole number from 0 to max, digits only.
bool ParseWhole(const char* value, long long max, long long* out) {
  if (value == nullptr || *value < '0' || *value > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long long n = std::strtoll(value, &end, 10);
  if (errno != 0 || *end != '\0' || n < 0 || n > max) return false;
  *out = n;
  return true;
}

// One option of the port: how it is spelt, what it takes, where it goes, and its line of help.
// A flag has no value name; a number option has a largest value; the rest keep their text.
struct OptionSpec {
  const char* name;   // after "--"
  char shortName;     // after "-", or 0
  const char* value;  // the value's name in the help, or null for a flag
  long long max;      // number options: the largest value; text options: -1
  void (*store)(LongOptions*, const char* text, long long number);
  const char* help;
};

constexpr long long TEXT = -1;
constexpr long long MANY = 1000000000000LL;

#define ZZ_FLAG(field) [](LongOptions* o, const char*, long long) { o->field = true; }
#define ZZ_TEXT(field) [](LongOptions* o, const char* t, long long) { o->field = t; }
#define ZZ_NUMBER(field) \
  [](LongOptions* o, const char*, long long n) { o->field = static_cast<decltype(o->field)>(n); }

constexpr OptionSpec Options[] = {
    {"config", 0, "FILE", TEXT, ZZ_TEXT(config),
     "read the settings from FILE instead of the usual settings file"},
    {"fps", 0, "N", 1000, ZZ_NUMBER(fps),
     "frames per second to hold, 0 to 1000 (default 60, 0 = no wait)"},
    {"scale", 0, "MODE", TEXT, ZZ_TEXT(scale),
     "aspect (4:3 with black bars, the default), stretch (fill the window)\n"
     "or integer (largest whole-number scale, centred)"},
    {"language", 0, "LANG", TEXT, ZZ_TEXT(language),
     "ja or en: the language of messages outside the picture\n"
     "(default: Japanese for a Japanese locale, else English)"},
    {"soundfont", 0, "PATH", TEXT, ZZ_TEXT(soundFont),
     "General MIDI SoundFont for the music (default: the first one installed)"},
    {"music-volume", 0, "P", 100, ZZ_NUMBER(musicVolume),
     "music volume in percent, 0 to 100 (default 100)"},
    {"sfx-volume", 0, "P", 100, ZZ_NUMBER(sfxVolume),
     "sound-effect volume in percent, 0 to 100 (default 100)"},
    {"screenshot-dir", 0, "DIR", TEXT, ZZ_TEXT(screenshotDir),
     "where F12 saves screenshots (default: the current folder)"},
    {"audio-dump", 0, "PATH", TEXT, ZZ_TEXT(audioDump),
     "also write the sound output to this WAVE file"},
    {"record", 0, "FILE", TEXT, ZZ_TEXT(record), "write the input of every frame to FILE"},
    {"replay", 0, "FILE", TEXT, ZZ_TEXT(replay),
     "play the input recorded in FILE instead of keyboard and joystick;\n"
     "the program ends when the recording does"},
    {"trace", 0, "FILE", TEXT, ZZ_TEXT(trace),
     "write the game's state after every frame to FILE (JSON lines)"},
    {"frames", 0, "N", MANY, ZZ_NUMBER(frames), "stop after N frames"},
    {"checksum", 0, nullptr, TEXT, ZZ_FLAG(checksum),
     "print checksums of the screen and of the game state at exit"},
    {"dump-frames", 0, "DIR", TEXT, ZZ_TEXT(dumpFrames),
     "write the screen as a PNG picture into DIR ..."},
    {"dump-every", 0, "K", MANY, ZZ_NUMBER(dumpEvery), "... every K frames (default 1)"},
    {"verbose", 'v', nullptr, TEXT, ZZ_FLAG(verbose), "also print the game's own diagnostic lines"},
    {"help", 'h', nullptr, TEXT, ZZ_FLAG(help), "print this text and exit (also -?)"},
    {"version", 0, nullptr, TEXT, ZZ_FLAG(version), "print the version and exit"},
};

#undef ZZ_FLAG
#undef ZZ_TEXT
#undef ZZ_NUMBER

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& o : Options)
    if (name == o.name) return &o;
  return nullptr;
}

// "-h", "-?" and "-v"; null for any other short spelling.
const OptionSpec* FindShortOption(const char* arg) {
  if (arg[0] == '\0' || arg[1] != '\0') return nullptr;
  const char letter = arg[0] == '?' ? 'h' : arg[0];
  for (const OptionSpec& o : Options)
    if (o.shortName != 0 && o.shortName == letter) return &o;
  return nullptr;
}

// Takes the option's value: after '=' in the same argument, else the next argument.
bool TakeValue(const char* inlineValue, int argc, const char* const* argv, int* i,
               const char** value) {
  if (inlineValue != nullptr) {
    *value = inlineValue;
    return true;
  }
  if (*i + 1 >= argc) return false;
  *value = argv[++*i];
  return true;
}

// Reads one option whose spec is known; i moves past its value.
bool ReadOption(const OptionSpec& spec, const char* inlineValue, int argc, const char* const* argv,
                int* i, LongOptions* options, std::string* error) {
  const std::string name = std::string("--") + spec.name;
  if (spec.value == nullptr) {
    if (inlineValue != nullptr) {
      *error = name + " takes no value";
      return false;
    }
    spec.store(options, nullptr, 0);
    return true;
  }
  const char* value = nullptr;
  if (!TakeValue(inlineValue, argc, argv, i, &value)) {
    *error = name + " needs a value";
    return false;
  }
  long long n = 0;
  if (spec.max != TEXT && !ParseWhole(value, spec.max, &n)) {
    *error = name + " wants a whole number from 0 to " + std::to_string(spec.max) + ", not \"" +
             value + "\"";
    return false;
  }
  spec.store(options, value, n);
  return true;
}

// The values that only some words are allowed for.
bool CheckChoices(const LongOptions& options, std::string* error) {
  if (options.scale != "stretch" && options.scale != "aspect" && options.scale != "integer") {
    *error = "--scale wants stretch, aspect or integer, not \"" + options.scale + "\"";
    return false;
  }
  if (!options.language.empty() && options.language != "ja" && options.language != "en") {
    *error = "--language wants ja or en, not \"" + options.language + "\"";
    return false;
  }
  if (options.dumpEvery < 1) {
    *error = "--dump-every wants a whole number of at least 1";
    return false;
  }
  return true;
}

}  // namespace

bool SplitArguments(int argc, const char* const* argv, LongOptions* options,
                    std::string* switchText, std::string* error) {
  switchText->clear();
  bool optionsOver = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    // Slash switches and plain words go to the switch parser, which ignores what it cannot read.
    if (optionsOver || arg[0] != '-') {
      if (!switchText->empty()) *switchText += ' ';
      *switchText += arg;
      continue;
    }
    if (std::strcmp(arg, "--") == 0) {  // everything after it is switch text
      optionsOver = true;
      continue;
    }
    const bool isLong = arg[1] == '-';
    std::string name(arg + (isLong ? 2 : 1));
    const char* inlineValue = nullptr;
    if (const size_t eq = name.find('='); isLong && eq != std::string::npos) {
      inlineValue = arg + 2 + eq + 1;
      name.resize(eq);
    }
    const OptionSpec* spec = isLong ? FindOption(name) : FindShortOption(arg + 1);
    if (spec == nullptr) {
      *error = std::string("unknown option ") + (isLong ? "--" + name : std::string(arg));
      return false;
    }
    if (!ReadOption(*spec, inlineValue, argc, argv, &i, options, error)) return false;
  }
  return CheckChoices(*options, error);
}

std::string UsageText() {
  std::string text =
      "Usage: zizid-ozavav [switches] [options]\n"
      "\n"
      "Switches (a slash and a letter, either case, blanks not needed):\n"
      "  /F   full screen at 320x240 instead of a 640x480 window\n"
      "  /S   slow mode: a frame on every 41st tick of the clock\n"
      "  /E   accelerated renderer instead of the software one\n"
      "  /M   recorded for the display set-up; the picture is the same\n"
      "\n"
      "Options (a value follows after a blank or '='):\n";
  constexpr size_t HELP_COLUMN = 24;
  for (const OptionSpec& o : Options) {
    std::string head = "  ";
    if (o.shortName != 0) head += std::string("-") + o.shortName + ", ";
    head += std::string("--") + o.name;
    if (o.value != nullptr) head += std::string(" ") + o.value;
    head.resize(std::max(head.size() + 1, HELP_COLUMN), ' ');
    // Continuation lines of the help stand under its first line.
    std::string help = o.help;
    for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
      help.insert(at + 1, HELP_COLUMN, ' ');
    text += head + help + "\n";
  }
  return text;
}

std::vector<std::string> OptionSpellings() {
  std::vector<std::string> spellings = {"-?"};
  for (const OptionSpec& o : Options) {
    spellings.push_back(std::string("--") + o.name);
    if (o.shortName != 0) spellings.push_back(std::string("-") + o.shortName);
  }
  return spellings;
}
