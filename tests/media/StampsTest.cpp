#include "media/core/Stamps.h"

#include <gtest/gtest.h>

namespace {

std::tm make_local(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  timegm(&t);  // fills weekday and day of the year without a time-zone shift
  return t;
}

TEST(RecordingStamp, UsesWeekBasedYearAndDayOfYear) {
  EXPECT_EQ(vek::media::recording_stamp(make_local(2026, 12, 5, 20, 33, 7)), "202612339203307");
  EXPECT_EQ(vek::media::recording_stamp(make_local(2026, 2, 9, 8, 4, 5)), "20260240080405");
  EXPECT_EQ(vek::media::recording_stamp(make_local(2024, 12, 30, 10, 0, 0)), "202512365100000");
}

TEST(RecordingStamp, PadsEarlyDaysOfTheYearToTwoDigits) {
  // 1 January 2027 is a Friday: its week belongs to 2026.
  EXPECT_EQ(vek::media::recording_stamp(make_local(2027, 1, 1, 0, 0, 0)), "20260101000000");
}

TEST(SnapshotAndExportStamps, UseCalendarDate) {
  const std::tm t = make_local(2026, 12, 5, 20, 32, 59);
  EXPECT_EQ(vek::media::snapshot_stamp(t), "2026_1205_203259");
  EXPECT_EQ(vek::media::export_stamp(make_local(2026, 12, 5, 20, 33, 7)), "20261205_203307");
  EXPECT_EQ(vek::media::export_stamp(make_local(2024, 12, 30, 10, 0, 0)), "20241230_100000");
}

}  // namespace
