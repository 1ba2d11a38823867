// Web machine: what the page stands in for: the one copy, the program's folder, the output lines,
// and the questions asked in boxes.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/resources_common.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/sdl/sdl_window.h"

PlatformSettings SdlSettings;

namespace {

// The page asks in a box of its own and answers with the button's number; the game waits, the
// browser does not.
EM_ASYNC_JS(int, WebAsk, (const char* text, const char* caption, int yesNo, int japanese), {
  if (!Module.zzAsk) return yesNo ? 6 : 1;
  return await Module.zzAsk(UTF8ToString(text), UTF8ToString(caption), yesNo !== 0, japanese !== 0);
});

}  // namespace

// A program whose waits gave the page back to the browser returns from main into nothing that
// ends it: the entry is wrapped (the link's --wrap) so that its exit code reaches the page.
extern "C" int __real___main_argc_argv(int argc, char** argv);
extern "C" int __wrap___main_argc_argv(int argc, char** argv) {
  std::exit(__real___main_argc_argv(argc, argv));
}

// A page is one copy by itself: another tab is another game with its own storage.
bool PlatformFindRunningInstance(const char*) { return false; }
void PlatformClaimInstance(const char*) {}
void PlatformReleaseInstance() {}
void SdlServeInstanceRequests() {}

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  return FindEmbeddedResource(name, type, data, size);
}

// The songs are packed into the page's root folder, the current one.
const char* PlatformExecutableDir() { return "/"; }

void PlatformDebugOutput(const char* text) {
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

// Screenshots go to a folder the page watches and hands to the browser as downloads.
void PlatformConfigure(const PlatformSettings& settings) {
  SdlSettings = settings;
  if (SdlSettings.screenshotDir == nullptr) SdlSettings.screenshotDir = "/screenshots";
}

int32_t PlatformMessageBox(const char* text, const char* caption, PlatformMessageBoxButtons buttons,
                           PlatformMessageBoxIcon) {
  return WebAsk(text, caption, buttons == PMB_YESNO ? 1 : 0, SdlSettings.japanese ? 1 : 0);
}
