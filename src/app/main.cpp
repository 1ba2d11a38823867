// Program entry: refuse a second copy, read the switches, make the window, run the loop.
#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "app/frame_cycle.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  LongOptions options;
  std::string switchText, error;
  if (!SplitArguments(argc, argv, &options, &switchText, &error)) {
    std::fprintf(stderr, "zizid-ozavav: %s\n\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("zizid-ozavav %s\n", ZZ_VERSION);
    return 0;
  }
  PlatformSettings settings;
  settings.soundFontPath = options.soundFont.empty() ? nullptr : options.soundFont.c_str();
  settings.audioDumpPath = options.audioDump.empty() ? nullptr : options.audioDump.c_str();
  PlatformConfigure(settings);
  FrameRateLimit = options.fps;

  AppActive = 0;
  if (PlatformFindRunningInstance(WINDOW_CLASS_NAME)) return 0;
  ParseCommandLine(switchText.c_str());
  if (CreateMainWindow() == 0) return 0;
  PlatformClaimInstance(WINDOW_CLASS_NAME);
  ResetSystem();
  const int32_t exitCode = MessageLoop();
  // Closing the window ends the loop before the shutdown frame; release the services anyway.
  if (SystemState == SYSTEM_SHUTDOWN) SystemFrame();
  PlatformReleaseInstance();
  return exitCode;
}
