// Real machine: one copy per user, found through an abstract Unix socket named after the class.
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/sdl_window.h"

namespace {

int Listener = -1;
std::chrono::steady_clock::time_point NextServe;

// Requests are rare and need no haste; the event pump runs thousands of times a second.
constexpr std::chrono::milliseconds SERVE_INTERVAL(50);

// "\0ZIZID-OZAVAV.<uid>": abstract, so nothing is left on disk when a copy dies.
socklen_t InstanceAddress(const char* windowClass, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  const std::string name = std::string(windowClass) + "." + std::to_string(getuid());
  const size_t length = std::min(name.size(), sizeof address->sun_path - 1);
  std::memcpy(address->sun_path + 1, name.data(), length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

}  // namespace

bool PlatformFindRunningInstance(const char* windowClass) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // A copy that stopped answering fills its queue; after a second we start beside it rather
  // than wait for it for ever.
  const timeval patience{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
  sockaddr_un address;
  const socklen_t length = InstanceAddress(windowClass, &address);
  bool found = connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  if (found) {
    const char raise = 'R';
    found = send(fd, &raise, 1, MSG_NOSIGNAL) == 1;
  }
  close(fd);
  return found;
}

void PlatformClaimInstance(const char* windowClass) {
  if (Listener >= 0) return;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return;
  sockaddr_un address;
  const socklen_t length = InstanceAddress(windowClass, &address);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
    // Another copy got its window first; both run, as when started before the window existed.
    close(fd);
    return;
  }
  Listener = fd;
}

void PlatformReleaseInstance() {
  if (Listener < 0) return;
  close(Listener);
  Listener = -1;
}

void SdlServeInstanceRequests() {
  if (Listener < 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < NextServe) return;
  NextServe = now + SERVE_INTERVAL;
  for (;;) {
    const int client = accept4(Listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;  // EAGAIN: nobody is asking
    close(client);
    SdlRaiseMainWindow();
  }
}
