// Random sequence, trig tables with their truncation, distance.
#include <gtest/gtest.h>

#include <cmath>

#include "core/math_helpers.h"

TEST(Random, SeedTwoGivesTheKnownSequenceAndAlternatingLowBit) {
  EXPECT_EQ(SeedRandom(2), 11);
  EXPECT_EQ(NextRandom(), 56);
  EXPECT_EQ(NextRandom(), 281);
  EXPECT_EQ(SeedRandom(42), 211);
  int32_t last = NextRandom() & 1;
  for (int i = 0; i < 64; ++i) {
    const int32_t bit = NextRandom() & 1;
    EXPECT_NE(bit, last);
    last = bit;
  }
}

TEST(Random, WrapsModulo2To32AndReturnsTheSignedBits) {
  RandomSeed = 0x80000000u;
  EXPECT_EQ(NextRandom(), static_cast<int32_t>(0x80000001u));  // 5 * 2^31 wraps to 2^31
  EXPECT_LT(NextRandom() % 300, 300);
}

TEST(TrigTables, EveryEntryIsTheTwoDecimalRounding) {
  for (int i = 0; i < 256; ++i) {
    const double a = 2 * M_PI * i / 256;
    EXPECT_DOUBLE_EQ(SinTable[i], std::round(std::sin(a) * 100) / 100 + 0.0) << i;
    EXPECT_DOUBLE_EQ(CosTable[i], std::round(std::cos(a) * 100) / 100 + 0.0) << i;
  }
  EXPECT_FALSE(std::signbit(CosTable[192]) || std::signbit(SinTable[128]));
}

struct ScaledCase {
  bool cosine;
  Angle256 a;
  int32_t r;
  int32_t expected;
};
class Scaled : public testing::TestWithParam<ScaledCase> {};
TEST_P(Scaled, TruncatesTheDoubleProduct) {
  const auto& c = GetParam();
  EXPECT_EQ(c.cosine ? ScaledCos(c.a, c.r) : ScaledSin(c.a, c.r), c.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Scaled,
    testing::Values(ScaledCase{false, 12, 100, 28}, ScaledCase{false, 25, 50, 28},
                    ScaledCase{false, 17, 300, 122}, ScaledCase{true, 160, 20, -14},
                    ScaledCase{false, 64, 80, 80}, ScaledCase{true, 64, 80, 0},
                    ScaledCase{false, 320, 80, 80}, ScaledCase{true, 192, 5, 0},
                    ScaledCase{false, -64, 10, -10}));

TEST(Distance, TruncatesAndNeverOverflows) {
  EXPECT_EQ(Distance(0, 0, 3, 4), 5);
  EXPECT_EQ(Distance(0, 0, 1, 1), 1);
  EXPECT_EQ(Distance(10, 10, 10, 10), 0);
  EXPECT_EQ(Distance(-40000, 0, 40000, 0), 80000);  // squares exceed 32 bits
}
