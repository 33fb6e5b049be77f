#include "track/Format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vek::track {
namespace {

std::string printf_fixed(double value, int precision) {
  std::vector<char> buffer(1024);
  const int n = std::snprintf(buffer.data(), buffer.size(), "%.*f", precision, value);
  return {buffer.data(), static_cast<std::size_t>(n)};
}

std::string fixed(double value, int precision) {
  std::string out = "=";
  append_fixed(out, value, precision);
  return out.substr(1);
}

// Values whose last digit sits on an exact half, where a formatter that
// rounds a scaled copy instead of the exact binary value goes wrong.
TEST(FixedNumbers, RoundTheExactValueAsPrintfDoes) {
  const std::vector<double> values = {
      0.0,  -0.0, 0.125, 0.375,   -0.125, 2.5,   3.5,    -0.005, 0.005,  1e-8, -1e-8,
      0.05, 0.15, 0.25,  1.0 / 3, 99.995, 0.036, 2.3596, 121.5,  -180.0, 1e15, 4503599627370497.0,
      1e22};
  for (const double v : values) {
    for (int precision = 0; precision <= 9; ++precision)
      EXPECT_EQ(fixed(v, precision), printf_fixed(v, precision)) << v << " at " << precision;
  }
}

// The numbers the track text prints: decoded floats widened to double,
// speeds from centimetres per second, and any double a corrupt record holds.
TEST(FixedNumbers, MatchPrintfOverTheTrackValues) {
  std::mt19937_64 random(20161203);
  std::uniform_int_distribution<std::int32_t> degrees_e7(-1'800'000'000, 1'800'000'000);
  for (int i = 0; i < 20000; ++i) {
    const auto widened = static_cast<double>(static_cast<float>(degrees_e7(random)) / 1e7F);
    ASSERT_EQ(fixed(widened, 7), printf_fixed(widened, 7)) << widened;
    ASSERT_EQ(fixed(widened, 2), printf_fixed(widened, 2)) << widened;
    const double speed = static_cast<double>(random() % 65536) * 0.036;
    ASSERT_EQ(fixed(speed, 6), printf_fixed(speed, 6)) << speed;
    double any = 0;
    const std::uint64_t bits = random();
    std::memcpy(&any, &bits, sizeof any);
    ASSERT_EQ(fixed(any, 7), printf_fixed(any, 7)) << bits;
  }
}

// Every precision a track could use over magnitudes from far below the last
// place to past 2^32, where the digits are carried into the whole part, or
// the value is too large for integer arithmetic.
TEST(FixedNumbers, MatchPrintfAtEveryPrecisionAndScale) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(0.5, 1.0);
  std::uniform_int_distribution<int> exponent(-90, 40);
  for (int i = 0; i < 40000; ++i) {
    const double v = std::ldexp(unit(random), exponent(random)) * (i % 2 == 0 ? 1 : -1);
    const int precision = i % 11;
    ASSERT_EQ(fixed(v, precision), printf_fixed(v, precision)) << v << " at " << precision;
  }
  for (const double v : {0.9999999999, 9.995, 99.5, 0.5, 1.5, -0.5, 4294967295.5, 4294967296.0, 4294967295.9999999,
                         std::ldexp(1.0, -84), std::ldexp(1.0, -31), 5e-10, 5e-324}) {
    for (int precision = 0; precision <= 10; ++precision)
      EXPECT_EQ(fixed(v, precision), printf_fixed(v, precision)) << v << " at " << precision;
  }
}

TEST(FixedNumbers, NonFiniteAndExtremeValuesAsPrintf) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const double v : {nan, -nan, inf, -inf, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_TRUE_MIN}) {
    EXPECT_EQ(fixed(v, 7), printf_fixed(v, 7)) << v;
    EXPECT_EQ(fixed(v, 1), printf_fixed(v, 1)) << v;
  }
  // Longer than the stack buffer: still whole.
  EXPECT_EQ(fixed(-DBL_MAX, 400), printf_fixed(-DBL_MAX, 400));
  EXPECT_EQ(fixed(-DBL_MAX, 400).size(), 1U + 309U + 1U + 400U);
}

TEST(FixedNumbers, AppendAfterWhatIsThere) {
  std::string out = "'lat':\"";
  append_fixed(out, 25.0000305, 7);
  append_zero_padded(out, 7, 2);
  EXPECT_EQ(out, "'lat':\"25.000030507");
}

TEST(ZeroPadded, PadsToTheWidthAndNeverCuts) {
  const auto padded = [](unsigned value, int width) {
    std::string out;
    append_zero_padded(out, value, width);
    return out;
  };
  EXPECT_EQ(padded(0, 2), "00");
  EXPECT_EQ(padded(5, 2), "05");
  EXPECT_EQ(padded(59, 2), "59");
  EXPECT_EQ(padded(255, 2), "255");
  EXPECT_EQ(padded(0, 1), "0");
  EXPECT_EQ(padded(2016, 1), "2016");
  EXPECT_EQ(padded(7, 0), "7");
  EXPECT_EQ(padded(4294967295U, 12), "004294967295");
}

}  // namespace
}  // namespace vek::track
