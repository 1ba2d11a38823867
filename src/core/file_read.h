// Reading a whole file into memory, up to a size the caller names.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the file at path into *bytes. A file (or an endless device) longer than maxBytes is
// refused without more than maxBytes + 1 bytes ever being held. On failure *reason, when given,
// says why ("cannot open", "cannot read" or "too large", with the path).
bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* bytes,
                   std::string* reason = nullptr);
