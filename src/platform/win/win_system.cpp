// Windows machine: built-in resources, the program's folder, diagnostics, settings and the
// folders players expect.
#include "platform/win/win_api.h"
// After windows.h: its shell header needs the Windows types.
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/resources_common.h"
#include "platform/sdl/sdl_settings.h"

PlatformSettings SdlSettings;

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::string utf8;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) utf8 = WinUtf8(path);
  CoTaskMemFree(path);
  return utf8;
}

// Screenshots go to the player's Pictures folder unless --screenshot-dir says otherwise: the
// game's own folder may sit under Program Files, where nothing can be written.
std::string& PicturesFolder() {
  static std::string folder = KnownFolder(FOLDERID_Pictures);
  return folder;
}

// %APPDATA%\ZIZID-OZAVAV holds the settings and the kept hi-score alike, as Windows games do.
std::string& GameDataFolder() {
  static std::string folder = [] {
    const std::string appData = KnownFolder(FOLDERID_RoamingAppData);
    return appData.empty() ? appData : appData + "\\ZIZID-OZAVAV";
  }();
  return folder;
}

}  // namespace

bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size) {
  return FindEmbeddedResource(name, type, data, size);
}

const char* PlatformExecutableDir() { return ExecutableDirFromProc(); }

const char* PlatformSettingsFolder() { return GameDataFolder().c_str(); }

const char* PlatformStateFolder() { return GameDataFolder().c_str(); }

void PlatformDebugOutput(const char* text) {
  OutputDebugStringW(WinWide(text).c_str());  // a debugger sees it, asked for or not
  if (SdlSettings.verbose) PlatformNotice(text);
}

void PlatformNotice(const char* text) {
  std::fputs(text, stderr);
  std::fflush(stderr);
}

// A window program gets no console of its own, so --help and --version would print nowhere: one
// started from a command prompt writes to that prompt's console. Output sent to a file or a pipe
// (and Wine's, which the terminal gives) already has a place and keeps it.
void PlatformAttachTerminal() {
  const auto usable = [](DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
  };
  const bool out = usable(STD_OUTPUT_HANDLE), err = usable(STD_ERROR_HANDLE);
  if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err) std::freopen("CONOUT$", "w", stderr);
}

void PlatformConfigure(const PlatformSettings& settings) {
  SdlSettings = settings;
  if (SdlSettings.screenshotDir == nullptr && !PicturesFolder().empty()) {
    SdlSettings.screenshotDir = PicturesFolder().c_str();
  }
}
