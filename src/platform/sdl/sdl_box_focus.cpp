// Keyboard focus for a message box on an X display without a window manager; a stop signal
// closes the box.
#include "platform/sdl/sdl_box_focus.h"

#if defined(__linux__) && __has_include(<X11/Xlib.h>)
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/sdl/sdl_window.h"

namespace {

std::thread Watcher;
std::atomic<bool> Stopping{false};

// SDL shows the box from a forked child, which starts with Xlib's locks as they stood at the
// fork: were the watcher inside Xlib then, the child would wait on its lock for ever and no box
// would show. The watcher holds this around its Xlib calls, and a fork waits for it.
pthread_mutex_t InXlib = PTHREAD_MUTEX_INITIALIZER;
std::once_flag ForkGuarded;

void HoldXlib() { pthread_mutex_lock(&InXlib); }
void LetXlibGo() { pthread_mutex_unlock(&InXlib); }

// The viewable top-level window that names `owner` as the one it stands for, or 0.
Window FindBox(Display* display, Window owner) {
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned int count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
    return 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    Window forWindow = 0;
    XWindowAttributes attributes;
    if (XGetTransientForHint(display, children[i], &forWindow) != 0 && forWindow == owner &&
        XGetWindowAttributes(display, children[i], &attributes) != 0 &&
        attributes.map_state == IsViewable) {
      found = children[i];
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Asks the box to close as its close button would: it answers as to Escape.
void CloseBox(Display* display, Window box) {
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = box;
  e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, box, False, NoEventMask, &e);
  XSync(display, False);
}

// Looks for the box for a few seconds and gives it the keyboard once; then, while it is shown,
// closes it when a stop signal comes, so that the game can end instead of waiting for an answer.
void Watch(Window owner) {
  HoldXlib();
  Display* display = XOpenDisplay(nullptr);
  LetXlibGo();
  if (display == nullptr) return;
  Window box = 0;
  for (int tries = 0; box == 0 && tries < 300 && !Stopping.load(); ++tries) {
    HoldXlib();
    box = FindBox(display, owner);
    if (box != 0) {
      XSetInputFocus(display, box, RevertToParent, CurrentTime);
      XSync(display, False);
    }
    LetXlibGo();
    if (box == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  while (box != 0 && !Stopping.load()) {
    if (SdlStopSignalPending()) {
      HoldXlib();
      CloseBox(display, box);
      LetXlibGo();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  HoldXlib();
  XCloseDisplay(display);
  LetXlibGo();
}

}  // namespace

void SdlBoxFocusStart(SDL_Window* owner) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (owner == nullptr || Watcher.joinable() || SDL_GetWindowWMInfo(owner, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return;
  }
  std::call_once(ForkGuarded, [] { pthread_atfork(HoldXlib, LetXlibGo, LetXlibGo); });
  Stopping = false;
  Watcher = std::thread(Watch, info.info.x11.window);
}

void SdlBoxFocusStop() {
  if (!Watcher.joinable()) return;
  Stopping = true;
  Watcher.join();
}

#else

void SdlBoxFocusStart(SDL_Window*) {}
void SdlBoxFocusStop() {}

#endif
