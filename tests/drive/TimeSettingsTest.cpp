#include "drive/TimeSettings.h"

#include <gtest/gtest.h>

namespace vek::drive {
namespace {

TEST(TimeSettings, TwoFieldSettingsShowTheCameraClock) {
  const TimeSettings settings = read_time_settings("mi,ENG\n");
  EXPECT_EQ(settings.unit, SpeedUnit::Mph);
  EXPECT_FALSE(settings.camera_offset.has_value());
  EXPECT_DOUBLE_EQ(displayed_time(1000.0, settings, {}), 1000.0);
}

TEST(TimeSettings, ZonesAndCorrectionMoveTheClock) {
  const TimeSettings settings = read_time_settings("km,ENG,+08:00,+05:45,-2.5");
  ASSERT_EQ(settings.camera_offset, 8 * 3600.0);
  EXPECT_EQ(settings.display_zone, "+05:45");
  EXPECT_DOUBLE_EQ(settings.correction, -2.5);
  EXPECT_DOUBLE_EQ(displayed_time(100000.0, settings, {}), 100000.0 - 2.5 - 8 * 3600 + 5 * 3600 + 45 * 60);
}

TEST(TimeSettings, NamedZonesGoThroughTheLookupAndUnknownOnesKeepTheCameraClock) {
  TimeSettings settings = read_time_settings("km,ENG,UTC+1,Europe/Berlin,0");
  double asked_at = 0;
  const ZoneOffset berlin = [&](const std::string& zone, double utc) -> std::optional<double> {
    asked_at = utc;
    return zone == "Europe/Berlin" ? std::optional<double>(7200.0) : std::nullopt;
  };
  EXPECT_DOUBLE_EQ(displayed_time(50000.0, settings, berlin), 50000.0 - 3600 + 7200);
  EXPECT_DOUBLE_EQ(asked_at, 50000.0 - 3600);
  settings.display_zone = "Mars/Olympus";
  EXPECT_DOUBLE_EQ(displayed_time(50000.0, settings, berlin), 50000.0);
}

TEST(TimeSettings, FieldsThatDoNotParseStayAtTheirDefaults) {
  const TimeSettings settings = read_time_settings("km,ENG,,,9000");
  EXPECT_FALSE(settings.camera_offset.has_value());
  EXPECT_EQ(settings.display_zone, "");
  EXPECT_DOUBLE_EQ(settings.correction, 0.0) << "beyond the hour the page allows";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,x,y,1e999").correction, 0.0);
}

TEST(TimeSettings, UtcOffsets) {
  EXPECT_EQ(parse_utc_offset("+08:00"), 28800.0);
  EXPECT_EQ(parse_utc_offset("-5:30"), -19800.0);
  EXPECT_EQ(parse_utc_offset("UTC+5:45"), 20700.0);
  EXPECT_EQ(parse_utc_offset("GMT"), 0.0);
  EXPECT_EQ(parse_utc_offset("Z"), 0.0);
  for (const char* bad : {"", "8", "+8:60", "+15", "+a", "+08:", "Europe/Berlin"}) {
    EXPECT_FALSE(parse_utc_offset(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace vek::drive
