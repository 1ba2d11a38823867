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

bool ParseFps(const char* value, int32_t* fps) {
  if (value == nullptr || *value < '0' || *value > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long n = std::strtol(value, &end, 10);
  if (errno != 0 || *end != '\0' || n < 0 || n > 1000) return false;
  *fps = static_cast<int32_t>(n);
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
    if (name == "help" || name == "version") {
      if (inlineValue != nullptr) {
        *error = "--" + name + " takes no value";
        return false;
      }
      (name == "help" ? options->help : options->version) = true;
    } else if (name == "fps" || name == "soundfont" || name == "audio-dump") {
      if (!TakeValue(inlineValue, argc, argv, &i, &value)) {
        *error = "--" + name + " needs a value";
        return false;
      }
      if (name == "fps") {
        if (!ParseFps(value, &options->fps)) {
          *error = std::string("--fps wants a whole number from 0 to 1000, not \"") + value + "\"";
          return false;
        }
      } else {
        (name == "soundfont" ? options->soundFont : options->audioDump) = value;
      }
    } else {
      *error = "unknown option --" + name;
      return false;
    }
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
         "  --help            this text\n"
         "  --version         the version\n";
}
