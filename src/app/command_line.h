// The switches "/E", "/F", "/M", "/S" and the port's own long options.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/display.h"  // the switches set its flags

// Sets the defaults, then reads every switch in text.
int32_t ParseCommandLine(const char* text);

// What the long options asked for.
struct LongOptions {
  bool help = false;
  bool version = false;
  bool verbose = false;  // --verbose, -v: the game's own diagnostic lines too
  std::string config;    // --config: the settings file to read instead of the usual one
  std::string language;  // --language: ja or en; empty = from the locale
  int32_t fps = 60;
  std::string soundFont;
  std::string audioDump;
  std::string record;            // --record: write the input of every frame here
  std::string replay;            // --replay: play the input recorded here instead of the devices
  std::string trace;             // --trace: write the state after every frame here
  int64_t frames = 0;            // --frames: stop after this many frames (0: no limit)
  bool checksum = false;         // --checksum: print checksums of the screen and the state at exit
  std::string dumpFrames;        // --dump-frames: write the screen as a picture into this folder
  int64_t dumpEvery = 1;         // --dump-every: ... every this many frames
  std::string scale = "aspect";  // --scale: stretch, aspect or integer
  std::string screenshotDir;     // --screenshot-dir: where F12 writes its pictures
  int32_t musicVolume = 100;     // --music-volume, percent
  int32_t sfxVolume = 100;       // --sfx-volume, percent
};
// Splits argv: long options ("--name value" or "--name=value") and the few short ones ("-h",
// "-?", "-v") into options, every other argument joined by blanks into switchText. False with a
// reason in error on a bad or unknown option.
bool SplitArguments(int argc, const char* const* argv, LongOptions* options,
                    std::string* switchText, std::string* error);
// The --help text, made from the option table.
std::string UsageText();
// Every option's spelling as a player types it ("--fps", "-h", ...), for checks of the manuals.
std::vector<std::string> OptionSpellings();
