// Readable names for parameterised cases, made from a case's own words.
#pragma once
#include <cctype>
#include <string>

// "data before fmt" becomes "DataBeforeFmt": anything but letters and digits splits words.
inline std::string CaseName(const std::string& words) {
  std::string name;
  bool upper = true;
  for (const char c : words) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) == 0) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(u)) : c;
    upper = false;
  }
  return name;
}
