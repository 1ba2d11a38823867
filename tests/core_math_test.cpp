// Random sequence, trig tables with their truncation, distance.
#include <gtest/gtest.h>

#include <cmath>

#include "core/math_helpers.h"

TEST(Random, SeedTwoGivesTheKnownSequenceAndWrapsModulo2To32) {
  EXPECT_EQ(SeedRandom(2), 11);
  EXPECT_EQ(NextRandom(), 56);
  EXPECT_EQ(NextRandom(), 281);
  RandomSeed = 0x80000000u;
  EXPECT_EQ(NextRandom(), static_cast<int32_t>(0x80000001u));  // 5 * 2^31 wraps to 2^31
}

TEST(Trig, TablesHoldTheTwoDecimalRoundingAndScaledValuesTruncateTowardZero) {
  for (int i = 0; i < 256; ++i) {
    const double a = 2 * M_PI * i / 256;
    EXPECT_DOUBLE_EQ(SinTable[i], std::round(std::sin(a) * 100) / 100 + 0.0) << i;
    EXPECT_DOUBLE_EQ(CosTable[i], std::round(std::cos(a) * 100) / 100 + 0.0) << i;
  }
  EXPECT_FALSE(std::signbit(CosTable[192]) || std::signbit(SinTable[128]));
  EXPECT_EQ(ScaledSin(12, 100), 28);  // 0.29 * 100 is just below 29 as a double
  EXPECT_EQ(ScaledCos(160, 20), -14);
  EXPECT_EQ(ScaledSin(320, 80), 80);  // angles wrap
  EXPECT_EQ(ScaledSin(-64, 10), -10);
}

TEST(Distance, TruncatesAndNeverOverflows) {
  EXPECT_EQ(Distance(0, 0, 1, 1), 1);
  EXPECT_EQ(Distance(-40000, 0, 40000, 0), 80000);  // squares exceed 32 bits
}
