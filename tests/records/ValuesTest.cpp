// The 6-byte real's bytes and limits, and the date values.
#include <gtest/gtest.h>

#include <cmath>

#include "support/FakeClock.h"
#include "records/TDataHora.h"
#include "records/TReal6.h"

namespace quillmont {
namespace {

using Bytes = std::array<std::uint8_t, 6>;

TEST(TReal6, BytesOfKnownValues) {
  EXPECT_EQ(TReal6::FromDouble(1.0).Bytes(), (Bytes{0x81, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TReal6::FromDouble(-1.0).Bytes(), (Bytes{0x81, 0, 0, 0, 0, 0x80}));
  EXPECT_EQ(TReal6::FromDouble(0.5).Bytes(), (Bytes{0x80, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TReal6::FromDouble(0.0).Bytes(), (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TReal6::FromDouble(3.0).Bytes(), (Bytes{0x82, 0, 0, 0, 0, 0x40}));
  // Byte 0 = 0 is zero whatever the rest holds.
  EXPECT_EQ(TReal6::FromBytes({0, 0xFF, 0x12, 0x34, 0x56, 0xFF}).ToLongDouble(), 0.0L);
}

TEST(TReal6, EveryIntegerUpTo2To40RoundTrips) {
  std::vector<long double> values = {0, 1, 2, 3, 8735, 9371, 12345678, 1099511627776.0L, 1099511627775.0L};
  for (int p = 0; p <= 40; ++p) {
    const long double v = std::ldexp(1.0L, p);
    values.insert(values.end(), {v - 1, v, v + 1});
  }
  for (std::uint64_t x = 1; x < (1ull << 40); x = x * 7 + 3) values.push_back(static_cast<long double>(x));
  for (long double v : values) {
    if (v > std::ldexp(1.0L, 40)) continue;
    EXPECT_EQ(TReal6::FromDouble(v).ToLongDouble(), v);
    EXPECT_EQ(TReal6::FromDouble(-v).ToLongDouble(), -v);
  }
}

TEST(TReal6, RoundingAndLimits) {
  // 2^40 + 1 needs 41 bits: the half rounds away from zero.
  EXPECT_EQ(TReal6::FromDouble(std::ldexp(1.0L, 40) + 1).ToLongDouble(), std::ldexp(1.0L, 40) + 2);
  EXPECT_EQ(TReal6::FromDouble(-(std::ldexp(1.0L, 40) + 1)).ToLongDouble(), -(std::ldexp(1.0L, 40) + 2));
  EXPECT_THROW(TReal6::FromDouble(std::ldexp(1.0L, 127)), FloatOverflowError);
  EXPECT_THROW(TReal6::FromDouble(-std::ldexp(1.0L, 127)), FloatOverflowError);
  // Just below 2^127, rounding the mantissa carries into the overflow.
  EXPECT_THROW(TReal6::FromDouble(std::ldexp(1.0L, 127) - std::ldexp(1.0L, 86)), FloatOverflowError);
  EXPECT_NO_THROW(TReal6::FromDouble(std::ldexp(1.0L, 127) - std::ldexp(1.0L, 87)));
  EXPECT_THROW(TReal6::FromDouble(1e40), FloatOverflowError);
  EXPECT_EQ(TReal6::FromDouble(std::ldexp(1.0L, -129)).Bytes(), (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TReal6::FromDouble(std::ldexp(1.0L, -128)).Bytes(), (Bytes{1, 0, 0, 0, 0, 0}));
}

TEST(TDataHora, DatesAndTimes) {
  EXPECT_EQ(EncodeDate(2024, 1, 1), 45292.0);
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);
  for (int day = -1000; day < 80000; day += 37) {
    int y = 0, m = 0, d = 0;
    DecodeDate(day, y, m, d);
    EXPECT_EQ(EncodeDate(y, m, d), day);
  }
  int y = 0, m = 0, d = 0;
  DecodeDate(45351, y, m, d);  // 29 February 2024
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
  FakeClock clock;
  clock.local = {2024, 1, 1, 12, 0, 0, 0};
  EXPECT_EQ(Today(clock), 45292.0);
}

}  // namespace
}  // namespace quillmont
