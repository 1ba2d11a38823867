// The command line: the switch parser and the long-option split, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bytes as one text for the switch parser...
  const std::string text(reinterpret_cast<const char*>(data), size);
  ParseCommandLine(text.c_str());
  // ...and, split at zero bytes, as the program's arguments.
  std::vector<std::string> args{"zizid-ozavav"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  LongOptions options;
  std::string switchText, error;
  if (SplitArguments(static_cast<int>(argv.size()), argv.data(), &options, &switchText, &error)) {
    ParseCommandLine(switchText.c_str());
  }
  return 0;
}
