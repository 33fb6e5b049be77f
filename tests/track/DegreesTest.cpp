#include "ClipBuilder.h"
#include "track/Degrees.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vek::track {
namespace {

TEST(ConvertDMSToDegrees, WorkedExampleThroughSinglePrecision) {
  test::LogLines log;
  EXPECT_EQ(ConvertDMSToDegrees(25.0212345, log.sink()), 25.036762237548828);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"v1:25.000000", "v2:2.000000", "v3:12.345000", "res:25.036762"}));
}

TEST(ConvertDMSToDegrees, LongitudeExample) {
  test::LogLines log;
  const double degrees = ConvertDMSToDegrees(121.335208, log.sink());
  EXPECT_EQ(static_cast<float>(degrees), 121.56447F);
  ASSERT_EQ(log.lines.size(), 4U);
  EXPECT_EQ(log.lines[1], "v2:33.000000");
  EXPECT_EQ(log.lines[2].substr(0, 8), "v3:52.08");
}

TEST(ConvertDMSToDegrees, SouthernAndWesternPositionsMirrorTheNorthernOnes) {
  // 33 deg 51' 24.48" S: flooring -33.5124 itself would give -34 + 48' = -33.19.
  EXPECT_EQ(ConvertDMSToDegrees(-33.512448, {}), -ConvertDMSToDegrees(33.512448, {}));
  EXPECT_NEAR(ConvertDMSToDegrees(-33.512448, {}), -33.8568, 1e-5);
  test::LogLines log;
  ConvertDMSToDegrees(-121.335208, log.sink());
  ASSERT_EQ(log.lines.size(), 4U);
  EXPECT_EQ(log.lines[0], "v1:121.000000");
  EXPECT_EQ(log.lines[3].substr(0, 13), "res:-121.5644");
}

TEST(ConvertDMSToDegrees, WithoutLogAndOnOddInput) {
  EXPECT_EQ(ConvertDMSToDegrees(0.0, {}), 0.0);
  EXPECT_TRUE(std::isnan(ConvertDMSToDegrees(std::nan(""), {})));
  EXPECT_FALSE(std::isfinite(ConvertDMSToDegrees(1e300, {}))) << "beyond single precision";
}

}  // namespace
}  // namespace vek::track
