#include "track/Position.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vek::track {
namespace {

TEST(NicePosition, WorkedExamples) {
  EXPECT_EQ(nicePosition(25.033964, 121.564468), "25[ 2' 2.27:,121[ 33' 52.08:");
  EXPECT_EQ(nicePosition(25.03349, 121.5655), "25[ 2' 0.56:,121[ 33' 55.80:");
  EXPECT_EQ(nicePosition(12.99999, 1.0), "12[ 59' 59.96:,1[ 0' 0.00:");
  EXPECT_EQ(nicePosition(-33.8568, 151.2153), "-33[ 51' 24.48:,151[ 12' 55.08:");
}

TEST(NicePosition, RoundingCarriesIntoMinutesAndDegrees) {
  EXPECT_EQ(nicePosition(12.999999, 0), "13[ 0' 0.00:,0[ 0' 0.00:");
  EXPECT_EQ(nicePosition(0.5 / 360000, 0), "0[ 0' 0.01:,0[ 0' 0.00:") << "halves away from zero";
}

TEST(NicePosition, SignOnlyOnWholeDegrees) {
  EXPECT_EQ(nicePosition(-0.5, -121.5), "0[ 30' 0.00:,-121[ 30' 0.00:") << "-1 < v < 0 shows no sign";
}

TEST(NicePosition, CorruptValuesGiveABoundedLabel) {
  const std::string expected_half = "-5965[ 13' 56.48:";
  EXPECT_EQ(nicePosition(std::nan(""), 1e300), expected_half + "," + expected_half);
  EXPECT_EQ(nicePosition(-INFINITY, 0), expected_half + ",0[ 0' 0.00:");
}

}  // namespace
}  // namespace vek::track
