// Plays the soak's input on the scripted machine and keeps it as a recording for the real program.
// Usage: soak_recording FRAMES FILE.zzr; prints the checksum line the replay must end with.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/message_loop.h"
#include "input/replay.h"
#include "platform/fake/fake_platform.h"
#include "support/autopilot.h"

int main(int argc, char** argv) {
  const long long frames = argc == 3 ? std::atoll(argv[1]) : 0;
  if (frames < 1) {
    std::fprintf(stderr, "usage: soak_recording FRAMES FILE.zzr\n");
    return 2;
  }
  std::string error;
  if (!StartScriptedGame() || !ReplayStartRecording(argv[2], 0, &error)) {
    std::fprintf(stderr, "soak_recording: cannot start: %s\n", error.c_str());
    return 1;
  }
  for (long long frame = 0; frame < frames; ++frame) {
    PlayFrame(SoakInput(frame));
    FakeClearSoundCalls();  // the scripted devices' logs would grow for ever
    FakeMidiClearMessages();
  }
  const std::string checksums = ChecksumLine();
  if (!ReplayFinish(&error)) {
    std::fprintf(stderr, "soak_recording: %s\n", error.c_str());
    return 1;
  }
  StopScriptedGame();
  std::printf("%s\n", checksums.c_str());
  return 0;
}
