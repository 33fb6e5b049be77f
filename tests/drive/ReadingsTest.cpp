#include "drive/Readings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "drive/TimeKey.h"

namespace vek::drive {
namespace {

TEST(TimeKey, ReadsBothKeySpellingsAsTheCameraClockInUtc) {
  EXPECT_EQ(parse_time_key("2016/03/01 10:05:7.5"), 1456826707.5);
  EXPECT_EQ(parse_time_key("2016/03/01 10:05:07.3"), 1456826707.3);
  EXPECT_EQ(parse_time_key("2016/03/01 27:05:07.0"), 1456826707.0 + 17 * 3600) << "hours past 23 carry";
  EXPECT_EQ(parse_time_key(" 2016/2/29 00:00:00 "), 1456704000.0);
  for (const char* bad : {"", "2016/03/01", "2016/03/01 10:05", "2016-03-01 10:05:07", "2016/03/01 10:05:07.",
                          "2016/03/01 10:05:07 x", "12345/03/01 10:05:07"}) {
    EXPECT_FALSE(parse_time_key(bad).has_value()) << bad;
  }
}

TEST(TimeKey, FormatsWholeSecondsLikeThePageClock) {
  EXPECT_EQ(format_date_time(1456826707.99), "2016-03-01 10:05:07");
  EXPECT_EQ(format_date_time(1456704000.0 - 0.5), "2016-02-28 23:59:59");
  EXPECT_EQ(format_date_time(951782400.0), "2000-02-29 00:00:00");
  EXPECT_EQ(format_date_time(-1.0), "1969-12-31 23:59:59");
}

TEST(Readings, SpeedInThePagesUnitRoundedLikeMathRound) {
  EXPECT_EQ(speed_text(63.4, SpeedUnit::Kmh), "63");
  EXPECT_EQ(speed_text(62.5, SpeedUnit::Kmh), "63");
  EXPECT_EQ(speed_text(0.2, SpeedUnit::Kmh), "0");
  EXPECT_EQ(speed_text(100.0, SpeedUnit::Mph), "62");
  EXPECT_EQ(speed_text(NAN, SpeedUnit::Kmh), "\u2013");
  EXPECT_EQ(speed_unit_text(SpeedUnit::Mph), "mph");
  EXPECT_EQ(speed_unit_from_setting(" MPH "), SpeedUnit::Mph);
  EXPECT_EQ(speed_unit_from_setting("mile"), SpeedUnit::Mph);
  EXPECT_EQ(speed_unit_from_setting("knots"), SpeedUnit::Kmh);
}

TEST(Readings, PositionFromTheLabelWithTheHemisphereFromTheCoordinate) {
  EXPECT_EQ(position_text("25[ 2' 2.27:,121[ 33' 52.08:", 25.033964, 121.564468),
            "25\u00b02'2.27\" N  121\u00b033'52.08\" E");
  EXPECT_EQ(position_text("0[ 30' 0.00:,-73[ 5' 1.50:", -0.5, -73.08375), "0\u00b030'0.00\" S  73\u00b05'1.50\" W")
      << "the label loses the sign between 0 and -1";
  EXPECT_EQ(position_text("", 25.5, 121.25), "25\u00b030'0.00\" N  121\u00b015'0.00\" E");
  EXPECT_EQ(position_text("garbage", NAN, 121.0), "");
  EXPECT_EQ(decimal_position_text(25.0339641, -121.5644681), "25.033964, -121.564468");
}

TEST(Readings, AxisWithSignAndTwoDecimals) {
  EXPECT_EQ(axis_text(0.123), "+0.12");
  EXPECT_EQ(axis_text(0.0), "+0.00");
  EXPECT_EQ(axis_text(-1.5), "\u22121.50");
  EXPECT_EQ(axis_text(NAN), "\u2013");
}

}  // namespace
}  // namespace vek::drive
