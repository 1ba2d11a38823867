// Scripted machine: clock, events, window, message boxes, keys, joystick and the instance check.
#include <algorithm>
#include <deque>
#include <map>

#include "platform/controller_map.h"
#include "platform/fake/fake_platform.h"
#include "platform/platform.h"

namespace {

struct TimedEvent {
  PlatformEvent event;
  uint64_t at;
};

struct FakeSystem {
  uint64_t micros = 0;
  uint64_t stepPerRead = 0;
  int64_t reads = 0;
  int32_t waits = 0;
  int32_t eventWaits = 0;
  int32_t refreshHz = 60;
  std::deque<TimedEvent> events;
  FakeWindowState window;
  bool failWindow = false;
  bool noScreen = false;  // PlatformHasScreen answers false
  int32_t desktopWidth = 1920, desktopHeight = 1080;
  bool canShowPalette = true;
  std::vector<FakeMessageBoxRecord> boxes;
  std::deque<int32_t> answers;
  std::map<int32_t, bool> keys;
  AltReturnLatch altReturn;
  PlatformSettings settings;
  int32_t joystickCount = 0;
  PlatformJoyCaps caps = {};
  bool capsAnswered = true;
  PlatformJoyPos pos = {};
  bool posValid = true;
  int32_t joystickReads = 0;
  bool otherInstance = false;
  int32_t raiseRequests = 0;
  bool claimed = false;
};

FakeSystem& Sys() {
  static FakeSystem state;
  return state;
}

uint64_t ReadClock() {
  FakeSystem& s = Sys();
  const uint64_t now = s.micros;
  s.micros += s.stepPerRead;
  ++s.reads;
  return now;
}

bool KeyDown(int32_t virtualKey) {
  const auto it = Sys().keys.find(virtualKey);
  return it != Sys().keys.end() && it->second;
}

}  // namespace

// ---- Controls ----------------------------------------------------------------------------
void FakeSystemReset() { Sys() = FakeSystem(); }
uint64_t FakeMicros() { return Sys().micros; }
void FakeSetMicros(uint64_t micros) { Sys().micros = micros; }
void FakeAdvanceMicros(uint64_t micros) { Sys().micros += micros; }
void FakeSetClockStepPerRead(uint64_t micros) { Sys().stepPerRead = micros; }
int32_t FakeWaitCount() { return Sys().waits; }
int64_t FakeClockReads() { return Sys().reads; }
int32_t FakeEventWaits() { return Sys().eventWaits; }
void FakeSetRefreshHz(int32_t hz) { Sys().refreshHz = hz; }

void FakeQueueEvent(const PlatformEvent& event, uint64_t atMicros) {
  auto& q = Sys().events;
  const auto later = std::upper_bound(q.begin(), q.end(), atMicros,
                                      [](uint64_t t, const TimedEvent& e) { return t < e.at; });
  q.insert(later, TimedEvent{event, atMicros});
}

size_t FakeEventsQueued() { return Sys().events.size(); }
const FakeWindowState& FakeWindow() { return Sys().window; }
void FakeFailWindowCreation(bool fail) { Sys().failWindow = fail; }
void FakeSetNoScreen(bool none) { Sys().noScreen = none; }

void FakeSetDesktop(int32_t width, int32_t height, bool canShowPalette) {
  Sys().desktopWidth = width;
  Sys().desktopHeight = height;
  Sys().canShowPalette = canShowPalette;
}

const std::vector<FakeMessageBoxRecord>& FakeMessageBoxes() { return Sys().boxes; }
void FakeQueueMessageBoxAnswer(int32_t answer) { Sys().answers.push_back(answer); }
void FakeSetKeyHeld(int32_t virtualKey, bool held) {
  // Return pressed or let go: the same note the real keyboard makes for Alt+Return.
  if (virtualKey == RETURN_KEY_CODE && held != KeyDown(virtualKey)) {
    AltReturnNote(&Sys().altReturn, held, KeyDown(VK_MENU));
  }
  Sys().keys[virtualKey] = held;
}

void FakeSetConfiguration(const PlatformSettings& settings) { Sys().settings = settings; }
void FakeSetJoystickCount(int32_t count) { Sys().joystickCount = count; }

void FakeSetJoystickCaps(const PlatformJoyCaps& caps, bool answered) {
  Sys().caps = caps;
  Sys().capsAnswered = answered;
}

void FakeSetJoystickPosition(const PlatformJoyPos& pos, bool valid) {
  Sys().pos = pos;
  Sys().posValid = valid;
}

int32_t FakeJoystickReads() { return Sys().joystickReads; }
void FakeSetOtherInstanceRunning(bool running) { Sys().otherInstance = running; }
int32_t FakeInstanceRaiseRequests() { return Sys().raiseRequests; }
bool FakeInstanceClaimed() { return Sys().claimed; }

// ---- Clock ---------------------------------------------------------------------------------
uint32_t PlatformTicks() { return static_cast<uint32_t>(ReadClock() / 1000); }
uint64_t PlatformMicros() { return ReadClock(); }

void PlatformWaitUntilMicros(uint64_t t) {
  FakeSystem& s = Sys();
  ++s.waits;
  s.micros = std::max(s.micros, t);
}

int PlatformDisplayRefreshHz() { return Sys().refreshHz; }

// ---- Events --------------------------------------------------------------------------------
bool PlatformEventWaiting() {
  const auto& q = Sys().events;
  return !q.empty() && q.front().at <= Sys().micros;
}

// Sleeps on the scripted clock: to the next event's time, or by the whole time-out.
bool PlatformWaitForEvent(uint32_t timeoutMs) {
  FakeSystem& s = Sys();
  ++s.eventWaits;
  if (PlatformEventWaiting()) return true;
  uint64_t until = s.micros + uint64_t{timeoutMs} * 1000;
  if (!s.events.empty()) until = std::min(until, s.events.front().at);
  s.micros = std::max(s.micros, until);
  return PlatformEventWaiting();
}

// The scripted machine gets no signals; a test queues PEV_TERMINATE itself.
void PlatformCatchStopSignals() {}

bool PlatformNextEvent(PlatformEvent* ev) {
  if (!PlatformEventWaiting()) return false;
  *ev = Sys().events.front().event;
  Sys().events.pop_front();
  // Key events carry Alt as the keys held now say, as the real machine's do.
  if ((ev->type == PEV_KEYDOWN || ev->type == PEV_KEYUP) && KeyDown(VK_MENU)) ev->b |= PEV_KEY_ALT;
  return true;
}

// ---- Window --------------------------------------------------------------------------------
bool PlatformHasScreen() { return !Sys().noScreen; }

bool PlatformCreateWindow(const PlatformWindowDesc& desc) {
  FakeSystem& s = Sys();
  if (s.failWindow) return false;
  FakeWindowState& w = s.window;
  const int32_t created = w.created;
  w = FakeWindowState{};
  w.exists = true;
  w.title = desc.title != nullptr ? desc.title : "";
  w.clientWidth = desc.clientWidth;
  w.clientHeight = desc.clientHeight;
  w.minClientWidth = desc.minClientWidth;
  w.minClientHeight = desc.minClientHeight;
  w.fullScreen = desc.fullScreen;
  w.hasIcon = desc.iconRgba != nullptr && desc.iconWidth > 0 && desc.iconHeight > 0;
  w.created = created + 1;
  return true;
}

void PlatformPlaceWindow(int32_t x, int32_t y, int32_t clientWidth, int32_t clientHeight) {
  FakeWindowState& w = Sys().window;
  w.x = x;
  w.y = y;
  w.clientWidth = clientWidth;
  w.clientHeight = clientHeight;
}

void PlatformShowWindow() { Sys().window.shown = Sys().window.exists; }

void PlatformDestroyWindow() {
  FakeWindowState& w = Sys().window;
  w.exists = false;
  w.shown = false;
}

bool PlatformWindowExists() { return Sys().window.exists; }

bool PlatformDesktopSize(int32_t* w, int32_t* h) {
  *w = Sys().desktopWidth;
  *h = Sys().desktopHeight;
  return true;
}

bool PlatformCanShowPalette() { return Sys().canShowPalette; }

void PlatformGetClientArea(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
  const FakeWindowState& win = Sys().window;
  *x = win.x;
  *y = win.y;
  *w = win.clientWidth;
  *h = win.clientHeight;
}

void PlatformSetFullScreen(bool on) { Sys().window.fullScreen = on; }
bool PlatformIsFullScreen() { return Sys().window.fullScreen; }
void PlatformShowCursor(bool show) { Sys().window.cursorShown = show; }

// ---- Message boxes -------------------------------------------------------------------------
int32_t PlatformMessageBox(const char* text, const char* caption, PlatformMessageBoxButtons buttons,
                           PlatformMessageBoxIcon icon) {
  FakeSystem& s = Sys();
  int32_t answer = PMB_ANSWER_OK;
  if (buttons == PMB_YESNO) {
    answer = PMB_ANSWER_YES;
    if (!s.answers.empty()) {
      answer = s.answers.front();
      s.answers.pop_front();
    }
  }
  s.boxes.push_back(FakeMessageBoxRecord{text, caption, buttons, icon, answer});
  return answer;
}

// ---- Single instance -----------------------------------------------------------------------
bool PlatformFindRunningInstance(const char*) {
  if (!Sys().otherInstance) return false;
  ++Sys().raiseRequests;
  return true;
}

void PlatformClaimInstance(const char*) { Sys().claimed = true; }
void PlatformReleaseInstance() { Sys().claimed = false; }

// ---- Keyboard and joystick -----------------------------------------------------------------
bool PlatformKeyHeld(int32_t virtualKey) {
  if (virtualKey == RETURN_KEY_CODE && AltReturnHidden(Sys().altReturn, KeyDown(VK_MENU))) {
    return false;
  }
  return KeyDown(virtualKey);
}

const PlatformSettings& PlatformConfiguration() { return Sys().settings; }

int32_t PlatformJoystickCount() { return Sys().joystickCount; }

bool PlatformJoystickCaps(int32_t id, PlatformJoyCaps* caps) {
  if (id != 0 || id >= Sys().joystickCount || !Sys().capsAnswered) return false;
  *caps = Sys().caps;
  return true;
}

bool PlatformJoystickRead(int32_t id, PlatformJoyPos* pos) {
  ++Sys().joystickReads;
  if (id != 0 || id >= Sys().joystickCount || !Sys().posValid) return false;
  *pos = Sys().pos;
  return true;
}
