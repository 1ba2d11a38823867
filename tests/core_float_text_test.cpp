// The printf-built float text must be what std::to_chars writes, since both sides of a replay
// checksum (the desktop's and the web's) hash it.
#include "core/float_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace {

#if defined(__cpp_lib_to_chars)
std::string ToChars(float v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

TEST(FloatText, PrintfDigitsMatchToCharsOnEveryKindOfValue) {
  const float table[] = {0.0f,     -0.0f,   1.0f,    -1.0f,    0.5f,      0.125f,     2.5f,
                         16.0f,    0.1f,    0.3f,    1.0f / 3, 100.0f,    1e7f,       1e8f,
                         123456.0f, 1.5e-5f, 1e-4f,  0.001f,   3.4028235e38f, 1e-45f,   1.17549435e-38f,
                         65536.0f, 1e10f,   1.25e10f, 9.999999e-5f, 7.0e22f,  std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
  for (const float v : table) EXPECT_EQ(FloatTextByPrintf(v), ToChars(v)) << ToChars(v);
  // And a spread of bit patterns over the whole range.
  std::mt19937 random(20240607);
  for (int i = 0; i < 200000; ++i) {
    const uint32_t bits = static_cast<uint32_t>(random());
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) continue;
    ASSERT_EQ(FloatTextByPrintf(v), ToChars(v)) << "bits " << std::hex << bits;
  }
}
#endif

}  // namespace
