// Shortest round-trip float text, by to_chars or from printf's digits.
#include "core/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The fewest significant digits that read back to v, and the decimal exponent of the first.
void ShortestDigits(float v, std::string* digits, int* exponent) {
  char buf[32];
  for (int precision = 0; precision < 9; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*e", precision, static_cast<double>(v));
    if (std::strtof(buf, nullptr) == v) break;
  }
  // buf is "d.ddde+XX" (or "de+XX"): the digits without the point, then the exponent.
  const char* e = buf;
  while (*e != 'e') {
    if (*e >= '0' && *e <= '9') digits->push_back(*e);
    ++e;
  }
  *exponent = std::atoi(e + 1);
  while (digits->size() > 1 && digits->back() == '0') digits->pop_back();
}

std::string Scientific(const std::string& digits, int exponent) {
  std::string text = digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return text + tail;
}

// A whole number is written with all its digits, the exact value's, as printf's %f does.
std::string Plain(float v, const std::string& digits, int exponent) {
  const int count = static_cast<int>(digits.size());
  if (exponent < 0) return "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  if (exponent + 1 >= count) {
    char whole[64];
    std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(v));
    return whole;
  }
  return digits.substr(0, static_cast<size_t>(exponent + 1)) + "." +
         digits.substr(static_cast<size_t>(exponent + 1));
}

}  // namespace

std::string FloatTextByPrintf(float v) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  const std::string sign = std::signbit(v) ? "-" : "";
  if (std::isinf(v)) return sign + "inf";
  if (v == 0.0f) return sign + "0";
  std::string digits;
  int exponent = 0;
  ShortestDigits(std::fabs(v), &digits, &exponent);
  const std::string plain = Plain(std::fabs(v), digits, exponent);
  const std::string scientific = Scientific(digits, exponent);
  return sign + (scientific.size() < plain.size() ? scientific : plain);
}

std::string ShortestFloatText(float v) {
#if defined(__cpp_lib_to_chars)
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
#else
  return FloatTextByPrintf(v);
#endif
}
