// Preloaded into a program by scripts/soak.sh: writes the heap in use to $ZZ_HEAP_LOG every
// 100 ms ("bytes" per line), so the soak can watch a program it does not change.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

void Sample(int fd) {
  for (;;) {
    // Every arena's blocks in use, and the large blocks that malloc maps on their own.
    const struct mallinfo2 m = mallinfo2();
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%zu\n", m.uordblks + m.hblkhd);
    if (n <= 0 || write(fd, line, static_cast<size_t>(n)) != n) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

__attribute__((constructor)) void StartSampling() {
  const char* path = std::getenv("ZZ_HEAP_LOG");
  if (path == nullptr) return;
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
  if (fd >= 0) std::thread(Sample, fd).detach();
}

}  // namespace
