// Web machine: what the page stands in for: the one copy, the program's folder, the output lines,
// and the questions asked in boxes.
#include <emscripten.h>

#include <cstdio>

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

// A main that waited has returned to the browser long before it ends, and its result would be
// lost: the page asks for a promise of it (null when main has ended already).
EM_JS(void, WebOfferMainResult, (), {
  Module.zzMainResult = function() { return Asyncify.currData ? Asyncify.whenDone() : null; };
});

}  // namespace

// A page is one copy by itself: another tab is another game with its own storage.
bool PlatformFindRunningInstance(const char*) { return false; }
void PlatformClaimInstance(const char*) {}
void PlatformReleaseInstance() {}
void SdlServeInstanceRequests() {}

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  return FindEmbeddedResource(name, type, data, size);
}

// The page keeps the program's home in the browser's storage, so the usual folders under it last.
const char* PlatformSettingsFolder() { return XdgSettingsFolder(); }
const char* PlatformStateFolder() { return XdgStateFolder(); }

// The songs are packed into the page's root folder, the current one.
const char* PlatformExecutableDir() { return "/"; }

// The page's console takes the standard streams as they are.
void PlatformAttachTerminal() {}

void PlatformDebugOutput(const char* text) {
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

// Screenshots go to a folder the page watches and hands to the browser as downloads.
void PlatformConfigure(const PlatformSettings& settings) {
  WebOfferMainResult();
  SdlSettings = settings;
  if (SdlSettings.screenshotDir == nullptr) SdlSettings.screenshotDir = "/screenshots";
}

int32_t PlatformMessageBox(const char* text, const char* caption, PlatformMessageBoxButtons buttons,
                           PlatformMessageBoxIcon) {
  return WebAsk(text, caption, buttons == PMB_YESNO ? 1 : 0, SdlSettings.japanese ? 1 : 0);
}
