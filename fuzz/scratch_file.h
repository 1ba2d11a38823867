// An input as a file in memory, for the targets whose parser opens a path.
#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Replaces the scratch file's contents with the input and returns a path that opens it. A file
// in memory, because rewriting one on a disk cost a block discard per input on some systems and
// left those targets waiting on the device most of the time.
inline const char* ScratchFile(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("fuzz_input", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<size_t>(n);
  }
  return path.c_str();
}
