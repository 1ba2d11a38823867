// Program entry: refuse a second copy, read the switches, make the window, run the loop.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/command_line.h"
#include "app/frame_cycle.h"
#include "app/kept_high_score.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "app/settings_file.h"
#include "app/trace.h"
#include "battle/battle_state.h"
#include "core/play_options.h"
#include "input/replay.h"
#include "platform/platform.h"
#include "platform/scaling.h"

namespace {
// --dump-frames DIR --dump-every K and --checksum; the folder is made when it is missing.
bool StartHeadlessDuties(const LongOptions& options) {
  ChecksumWanted = options.checksum;
  if (options.dumpFrames.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(options.dumpFrames, ec);
  if (ec || !std::filesystem::is_directory(options.dumpFrames)) {
    std::fprintf(stderr, "zizid-ozavav: cannot make the frame folder %s\n",
                 options.dumpFrames.c_str());
    return false;
  }
  DumpFramesDir = options.dumpFrames;
  DumpEvery = options.dumpEvery;
  return true;
}

// A replay to read; it also brings back the pacing switch it was made with. False when the
// file cannot be played (a bad input, exit code 2).
bool StartReplay(const LongOptions& options) {
  if (options.replay.empty()) return true;
  std::string error;
  ReplayData replay;
  if (!ReplayStartPlaying(options.replay.c_str(), &replay, &error)) {
    std::fprintf(stderr, "zizid-ozavav: cannot replay %s: %s\n", options.replay.c_str(),
                 error.c_str());
    return false;
  }
  SlowSkip = (replay.switches & REPLAY_SWITCH_SLOW) ? SLOW_SKIP_CHANGES : 0;
  SkipLeft = 0;
  // The game is played again by the rules it was recorded with, whatever the settings say now.
  FixMissionStartSpeed = (replay.switches & REPLAY_SWITCH_START_SPEED_FIX) != 0;
  return true;
}

// --trace and --record, made now so that a bad path is told before the game rather than after
// it. False when one cannot be written (exit code 1).
bool StartRecordingAndTrace(const LongOptions& options) {
  std::string error;
  if (!options.trace.empty() && !TraceOpen(options.trace.c_str(), &error)) {
    std::fprintf(stderr, "zizid-ozavav: %s\n", error.c_str());
    return false;
  }
  const uint32_t switches = (SlowSkip != 0 ? REPLAY_SWITCH_SLOW : 0) |
                            (FixMissionStartSpeed ? REPLAY_SWITCH_START_SPEED_FIX : 0);
  if (!options.record.empty() && !ReplayStartRecording(options.record.c_str(), switches, &error)) {
    std::fprintf(stderr, "zizid-ozavav: %s\n", error.c_str());
    return false;
  }
  return true;
}

// An explicit --soundfont must be a SoundFont: a RIFF file of form "sfbk". The player asked
// for it, so a wrong path is refused rather than quietly replaced by another sound.
bool CheckSoundFont(const std::string& path) {
  if (path.empty()) return true;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  const int openError = errno;
  unsigned char head[12] = {};
  const bool read = f != nullptr && std::fread(head, 1, sizeof head, f) == sizeof head;
  if (f != nullptr) std::fclose(f);
  if (read && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0)
    return true;
  std::fprintf(stderr, "zizid-ozavav: --soundfont %s: %s\n", path.c_str(),
               f == nullptr ? std::strerror(openError) : "not a SoundFont (.sf2) file");
  return false;
}

void SettingsNotice(const std::string& path, const std::string& what) {
  std::fprintf(stderr, "zizid-ozavav: settings file %s: %s\n", path.c_str(), what.c_str());
}

// The settings file under the command line: --config FILE, else the usual one, written with
// the defaults when it is missing. What is wrong in it is told and left out, never fatal; only
// a --config file that cannot be read at all is refused (false).
bool LoadSettings(const std::string& chosenPath, GameSettings* settings, std::string* usedPath) {
  *settings = DefaultSettings();
  std::string& path = *usedPath;
  path = chosenPath;
  if (path.empty()) {
    path = SettingsFilePath();
    if (path.empty()) return true;  // no home folder: the defaults
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
      std::string error;
      if (!WriteDefaultSettings(path, &error))
        SettingsNotice(path, "cannot be written (" + error + "); the defaults are used");
      return true;
    }
  }
  std::vector<std::string> problems;
  const bool read = ReadSettingsFile(path, settings, &problems);
  for (const std::string& p : problems) SettingsNotice(path, p);
  return read || chosenPath.empty();
}

// The kept hi-score, for a game a player plays: a recorded or replayed game starts from the
// usual one, or it would not play the same again.
void LoadHighScore(const LongOptions& options, bool automatic) {
  if (automatic || !options.record.empty()) KeepHighScore = false;
  if (!KeepHighScore) return;
  std::string error;
  if (!LoadKeptHighScore(StateFolder(), &KeptHighScore, &error) && !error.empty())
    std::fprintf(stderr, "zizid-ozavav: the kept hi-score is not read: %s\n", error.c_str());
}

void SaveHighScore() {
  if (!KeepHighScore || HiScore <= KeptHighScore || StateFolder().empty()) return;
  std::string error;
  if (!SaveKeptHighScore(StateFolder(), HiScore, &error))
    std::fprintf(stderr, "zizid-ozavav: the hi-score cannot be kept: %s\n", error.c_str());
}

// What the machine needs to know of the options.
void Configure(const LongOptions& options) {
  PlatformSettings settings;
  settings.soundFontPath = options.soundFont.empty() ? nullptr : options.soundFont.c_str();
  settings.audioDumpPath = options.audioDump.empty() ? nullptr : options.audioDump.c_str();
  settings.scaleMode = ParseScaleMode(options.scale.c_str());
  settings.screenshotDir = options.screenshotDir.empty() ? nullptr : options.screenshotDir.c_str();
  settings.musicVolume = options.musicVolume;
  settings.sfxVolume = options.sfxVolume;
  settings.verbose = options.verbose;
  settings.japanese = TextLanguage == LANGUAGE_JAPANESE;
  // Frames run back to back without a rate to hold: showing each one would cost more than it.
  const bool automatic = options.frames > 0 || !options.replay.empty();
  if (options.fps == 0 && automatic) settings.pictureRateLimit = 60;
  PlatformConfigure(settings);
}
// A start that found a copy running raised its window; it says so, and fails when it was asked
// for something it did not do.
int HandedOver(const LongOptions& options) {
  const bool asked = !options.record.empty() || !options.trace.empty() || options.checksum ||
                     !options.dumpFrames.empty() || !options.audioDump.empty();
  std::fprintf(stderr, "zizid-ozavav: already running; its window was brought to the front%s\n",
               asked ? ", and this start did nothing more" : "");
  return asked ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
  PlatformAttachTerminal();
  PlatformCatchStopSignals();
  LongOptions options;
  std::string switchText, error;
  if (!SplitArguments(argc, argv, &options, &switchText, &error)) {
    std::fprintf(stderr, "zizid-ozavav: %s (see zizid-ozavav --help)\n", error.c_str());
    return 2;
  }
  GameSettings settings;
  if (!options.help && !options.version) {
    std::string settingsPath;
    if (!LoadSettings(options.config, &settings, &settingsPath)) return 2;
    // The command line goes over the file; it was read once already, so it reads again.
    options = settings.options;
    SplitArguments(argc, argv, &options, &switchText, &error);
    for (const std::string& note : ApplySettings(settings)) SettingsNotice(settingsPath, note);
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("zizid-ozavav %s\n", ZZ_VERSION);
    return 0;
  }
  if (!options.record.empty() && !options.replay.empty()) {
    std::fprintf(stderr, "zizid-ozavav: --record and --replay cannot be used together\n");
    return 2;
  }
  if (!CheckSoundFont(options.soundFont)) return 2;
  TextLanguage = ChooseLanguage(options.language);
  // Runs that play by themselves stand apart from the one-copy rule: they neither give way to
  // a copy being played nor keep a later start from finding it.
  const bool automatic = options.frames > 0 || !options.replay.empty();
  Configure(options);
  FrameRateLimit = options.fps;
  FrameLimit = options.frames;

  AppActive = 0;
  if (!automatic && PlatformFindRunningInstance(WINDOW_CLASS_NAME)) return HandedOver(options);
  ParseCommandLine(switchText.c_str());
  if (settings.fullScreen) FullScreen = 1;
  if (!StartReplay(options)) return 2;
  LoadHighScore(options, automatic);
  if (!StartHeadlessDuties(options) || !StartRecordingAndTrace(options)) return 1;
  if (CreateMainWindow() == 0) return 1;
  if (!automatic) PlatformClaimInstance(WINDOW_CLASS_NAME);
  ResetSystem();
  int32_t exitCode = MessageLoop();
  if (ErrorFlags != 0 && exitCode == 0) exitCode = 1;  // the start failed and was reported
  if (options.checksum) {
    std::printf("%s\n", ExitChecksumLine().c_str());
    std::fflush(stdout);
  }
  // Closing the window ends the loop before the shutdown frame; release the services anyway.
  if (SystemState == SYSTEM_SHUTDOWN) SystemFrame();
  SaveHighScore();
  if ((FrameDumpFailed() || PlatformAudioDumpFailed()) && exitCode == 0) exitCode = 1;
  PlatformReleaseInstance();
  if (!TraceClose() && exitCode == 0) exitCode = 1;  // the reason is already on the terminal
  if (!ReplayFinish(&error)) {
    std::fprintf(stderr, "zizid-ozavav: %s\n", error.c_str());
    return 1;
  }
  return exitCode;
}
