// The outer state machine (start-up, running, shutdown, failure) and the dispatch to scenes.
#include "app/frame_cycle.h"

#include "app/fatal_report.h"
#include "app/main_window.h"
#include "app/message_loop.h"
#include "gfx/display.h"
#include "gfx/surface.h"
#include "input/pad.h"
#include "music/music_player.h"
#include "sound/sound_bank.h"

uint32_t SystemState = SYSTEM_STARTUP;
uint32_t ErrorFlags = 0;

namespace {

const SceneTableRow* FindScene(int32_t id) {
  for (int32_t i = 0; i < SceneTableRows; ++i) {
    if (SceneTable[i].id == id) return &SceneTable[i];
  }
  return nullptr;
}

// Display first: without it nothing else is worth starting. Later failures let the rest run,
// and the last one's bit is the one reported.
void StartServices() {
  if (gf_DD_Startup() == 0) {
    ErrorFlags = ERR_DIRECTDRAW;
    SystemState = SYSTEM_FAILED;
    return;
  }
  JoystickInit();
  if (SoundInit(&MainWindow) == 0) {
    ErrorFlags = ERR_DIRECTSOUND;
    SystemState = SYSTEM_FAILED;
  }
  if (MusicInit() == 0) {
    ErrorFlags = ERR_MIDISTREAM;
    SystemState = SYSTEM_FAILED;
  }
  if (SystemState != SYSTEM_FAILED) SystemState = SYSTEM_RUNNING;
}

void ShutDownServices() {
  gf_DD_Release(1);
  SoundRelease();
  MusicShutdown();
  PostQuitMessage(0);
  SystemState = SYSTEM_ENDED;
}

}  // namespace


int32_t ResetSystem() {
  ErrorFlags = 0;
  SystemState = SYSTEM_STARTUP;
  SceneId = SCENE_BOOT;
  return 1;
}

int32_t RequestShutdown() {
  SystemState = SYSTEM_SHUTDOWN;
  return 1;
}

int32_t ChangeScene(int32_t n) {
  const SceneTableRow* row = FindScene(n);
  if (row != nullptr && row->enter != nullptr) row->enter();
  SceneId = n;
  return 1;
}

int32_t SceneFrame() {
  PadRead(&InputState.pad);
  const uint32_t current = InputState.pad.bits;
  InputState.pressed = (InputState.previous ^ 0xFFFF) & current;
  InputState.previous = current;
  const SceneTableRow* row = FindScene(SceneId);
  if (row != nullptr && row->frame != nullptr) row->frame();
  return 1;
}

int32_t SystemFrame() {
  switch (SystemState) {
    case SYSTEM_STARTUP:
      StartServices();
      break;
    case SYSTEM_RUNNING:
      gf_DD_ScrFill(ScreenSurface, 0);
      SceneFrame();
      gf_DD_Present();
      break;
    case SYSTEM_SHUTDOWN:
      ShutDownServices();
      break;
    case SYSTEM_FAILED:
      ReportFatalError();
      SystemState = SYSTEM_SHUTDOWN;
      break;
    default:  // ended, or a value no state has: nothing
      break;
  }
  return 1;
}
