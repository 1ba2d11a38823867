// The switch parser and the split of the port's long options from the switch text.
#include "app/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/message_loop.h"

int32_t FullScreen = 0;
int32_t EmulationOnly = 1;
int32_t SystemMemorySurfaces = 1;

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
        SlowSkip = 40;
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

// The options whose value is kept as text, or null when name is not one of them.
std::string* TextOption(LongOptions* options, const std::string& name) {
  if (name == "soundfont") return &options->soundFont;
  if (name == "audio-dump") return &options->audioDump;
  if (name == "record") return &options->record;
  if (name == "replay") return &options->replay;
  if (name == "trace") return &options->trace;
  if (name == "dump-frames") return &options->dumpFrames;
  if (name == "scale") return &options->scale;
  if (name == "screenshot-dir") return &options->screenshotDir;
  return nullptr;
}

// The options whose value is a whole number: where it goes and its largest value.
struct NumberOption {
  const char* name;
  long long max;
  void (*store)(LongOptions*, long long);
};
constexpr NumberOption NumberOptions[] = {
    {"fps", 1000, [](LongOptions* o, long long n) { o->fps = static_cast<int32_t>(n); }},
    {"frames", 1000000000000LL, [](LongOptions* o, long long n) { o->frames = n; }},
    {"dump-every", 1000000000000LL, [](LongOptions* o, long long n) { o->dumpEvery = n; }},
    {"music-volume", 100,
     [](LongOptions* o, long long n) { o->musicVolume = static_cast<int32_t>(n); }},
    {"sfx-volume", 100,
     [](LongOptions* o, long long n) { o->sfxVolume = static_cast<int32_t>(n); }},
};

const NumberOption* FindNumberOption(const std::string& name) {
  for (const NumberOption& o : NumberOptions)
    if (name == o.name) return &o;
  return nullptr;
}

}  // namespace

bool SplitArguments(int argc, const char* const* argv, LongOptions* options,
                    std::string* switchText, std::string* error) {
  switchText->clear();
  bool longOptionsOver = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (longOptionsOver || std::strncmp(arg, "--", 2) != 0) {
      if (!switchText->empty()) *switchText += ' ';
      *switchText += arg;
      continue;
    }
    if (arg[2] == '\0') {  // "--" alone: everything after it is switch text
      longOptionsOver = true;
      continue;
    }
    std::string name(arg + 2);
    const char* inlineValue = nullptr;
    const size_t eq = name.find('=');
    if (eq != std::string::npos) {
      inlineValue = arg + 2 + eq + 1;
      name.resize(eq);
    }
    const char* value = nullptr;
    if (name == "help" || name == "version" || name == "checksum") {
      if (inlineValue != nullptr) {
        *error = "--" + name + " takes no value";
        return false;
      }
      (name == "help"      ? options->help
       : name == "version" ? options->version
                           : options->checksum) = true;
    } else if (std::string* text = TextOption(options, name)) {
      if (!TakeValue(inlineValue, argc, argv, &i, &value)) {
        *error = "--" + name + " needs a value";
        return false;
      }
      *text = value;
    } else if (const NumberOption* number = FindNumberOption(name)) {
      if (!TakeValue(inlineValue, argc, argv, &i, &value)) {
        *error = "--" + name + " needs a value";
        return false;
      }
      long long n = 0;
      if (!ParseWhole(value, number->max, &n)) {
        *error = "--" + name + " wants a whole number from 0 to " + std::to_string(number->max) +
                 ", not \"" + value + "\"";
        return false;
      }
      number->store(options, n);
    } else {
      *error = "unknown option --" + name;
      return false;
    }
  }
  if (options->scale != "stretch" && options->scale != "aspect" && options->scale != "integer") {
    *error = "--scale wants stretch, aspect or integer, not \"" + options->scale + "\"";
    return false;
  }
  if (options->dumpEvery < 1) {
    *error = "--dump-every wants a whole number of at least 1";
    return false;
  }
  return true;
}

const char* UsageText() {
  return "Usage: zizid-ozavav [switches] [options]\n"
         "\n"
         "Switches (a slash and a letter, either case, blanks not needed):\n"
         "  /F   full screen at 320x240 instead of a 640x480 window\n"
         "  /S   slow mode: a frame on every 41st tick of the clock\n"
         "  /E   accelerated renderer instead of the software one\n"
         "  /M   recorded for the display set-up; the picture is the same\n"
         "\n"
         "Options:\n"
         "  --fps N           frames per second to hold (default 60, 0 = no wait)\n"
         "  --soundfont PATH  General MIDI SoundFont for the music\n"
         "  --audio-dump PATH also write the sound output to this file\n"
         "  --record FILE     write the input of every frame to FILE\n"
         "  --replay FILE     play the input recorded in FILE instead of keyboard and joystick;\n"
         "                    the program ends when the recording does\n"
         "  --trace FILE      write the game's state after every frame to FILE (JSON lines)\n"
         "  --frames N        stop after N frames\n"
         "  --checksum        print checksums of the screen and of the game state at exit\n"
         "  --dump-frames DIR write the screen as a picture into DIR ...\n"
         "  --dump-every K    ... every K frames (default 1)\n"
         "  --scale MODE      stretch (fill the window, the default), aspect (4:3 with bars)\n"
         "                    or integer (largest whole-number scale, centred)\n"
         "  --screenshot-dir DIR  where F12 saves screenshots (default: the current folder)\n"
         "  --music-volume P  music volume in percent, 0 to 100 (default 100)\n"
         "  --sfx-volume P    sound-effect volume in percent, 0 to 100 (default 100)\n"
         "  --help            this text\n"
         "  --version         the version\n";
}
