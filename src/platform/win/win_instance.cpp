// Windows machine: one copy per user, held by a named mutex; a later copy finds the running one's
// message window and asks it to bring its game window to the front.
#include "platform/win/win_api.h"

#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

HANDLE Mutex = nullptr;
HWND Listener = nullptr;
constexpr UINT WM_RAISE_REQUEST = WM_APP + 1;
// A copy that stopped answering is not waited for longer than this; we then start beside it.
constexpr UINT PATIENCE_MS = 1000;

// "Local\": one per logon session, that is per user at the desk.
std::wstring MutexName(const char* windowClass) {
  return L"Local\\" + WinWide(windowClass) + L".instance";
}

std::wstring ListenerClass(const char* windowClass) { return WinWide(windowClass) + L".instance"; }

// Runs on the game's thread, from inside SDL's event pump (which dispatches every message of the
// thread), so the window comes up even while the game sleeps on its event queue.
LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_RAISE_REQUEST) {
    SdlRaiseMainWindow();
    return 1;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

bool PlatformFindRunningInstance(const char* windowClass) {
  HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, MutexName(windowClass).c_str());
  if (held == nullptr) return false;
  CloseHandle(held);
  // A copy still starting has its mutex but not yet its window: both run, as on other systems.
  HWND running = FindWindowExW(HWND_MESSAGE, nullptr, ListenerClass(windowClass).c_str(), nullptr);
  if (running == nullptr) return false;
  // This copy was started by the player and may hand the foreground on; the running one may not
  // take it by itself.
  DWORD pid = 0;
  GetWindowThreadProcessId(running, &pid);
  AllowSetForegroundWindow(pid);
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(running, WM_RAISE_REQUEST, 0, 0, SMTO_ABORTIFHUNG, PATIENCE_MS,
                             &answer) != 0 &&
         answer == 1;
}

void PlatformClaimInstance(const char* windowClass) {
  if (Mutex != nullptr) return;
  HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(windowClass).c_str());
  if (mutex == nullptr) return;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);  // another copy claimed first: both run
    return;
  }
  const std::wstring className = ListenerClass(windowClass);
  WNDCLASSW wc{};
  wc.lpfnWndProc = ListenerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className.c_str();
  RegisterClassW(&wc);  // fails harmlessly when a claim before a release registered it
  Listener = CreateWindowExW(0, className.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
  if (Listener == nullptr) {
    CloseHandle(mutex);
    return;
  }
  Mutex = mutex;
}

void PlatformReleaseInstance() {
  if (Mutex == nullptr) return;
  DestroyWindow(Listener);
  Listener = nullptr;
  CloseHandle(Mutex);
  Mutex = nullptr;
}

// SDL's event pump already dispatches the listener's messages; nothing is left to do here.
void SdlServeInstanceRequests() {}
