#include "track/formats/UtcClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vek::track::formats {
namespace {

TEST(UtcClock, EpochCountsBecomeCalendarTimesAndBack) {
  const auto leap_day = utc_from_unix(1456704000.0 + 86399.5);  // 2016-02-29T23:59:59.5Z
  ASSERT_TRUE(leap_day);
  EXPECT_EQ(leap_day->year, 2016);
  EXPECT_EQ(leap_day->month, 2);
  EXPECT_EQ(leap_day->day, 29);
  EXPECT_EQ(leap_day->hour, 23);
  EXPECT_EQ(leap_day->minute, 59);
  EXPECT_DOUBLE_EQ(leap_day->second, 59.5);
  EXPECT_DOUBLE_EQ(unix_from_utc(*leap_day).value(), 1456790399.5);
  const auto gps_epoch = utc_from_unix(kGpsEpochUnixSeconds);
  ASSERT_TRUE(gps_epoch);
  EXPECT_EQ(gps_epoch->month, 1);
  EXPECT_EQ(gps_epoch->day, 6);
}

TEST(UtcClock, ImpossibleTimesAreRefusedBeforeAnyArithmetic) {
  for (const double seconds : {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e300, 0.0, 7.3e9})
    EXPECT_FALSE(utc_from_unix(seconds)) << seconds;
  const UtcTime refused[] = {{2015, 2, 29, 0, 0, 0},          {2016, 4, 31, 0, 0, 0},  {2016, 0, 1, 0, 0, 0},
                             {2016, 1, 1, 24, 0, 0},          {2016, 1, 1, 0, 60, 0},  {2016, 1, 1, 0, 0, 61},
                             {2016, 1, 1, 0, 0, -0.5},        {1979, 12, 31, 0, 0, 0}, {2201, 1, 1, 0, 0, 0},
                             {2016, 1, 1, 0, 0, std::nan("")}};
  for (const auto& time : refused) {
    EXPECT_FALSE(is_valid_utc(time)) << time.year << "-" << time.month << "-" << time.day;
    EXPECT_FALSE(unix_from_utc(time));
  }
  EXPECT_TRUE(is_valid_utc({2016, 12, 31, 23, 59, 60.5}));  // a leap second as receivers print it
}

}  // namespace
}  // namespace vek::track::formats
