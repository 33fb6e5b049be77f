#include "drive/TimeSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/glib/TimeZones.h"
#include "drive/TimeKey.h"

namespace vek::drive {
namespace {

constexpr double kFreeGpsOffset = 3600;
constexpr double kGps0Offset = 8 * 3600;

// Seconds of a wall time written "yyyy/MM/dd HH:mm:ss", read as the keys are.
double at(const char* key) {
  return parse_time_key(key).value();
}

std::string shown(double utc, const TimeSettings& settings, const ZoneOffset& zones) {
  return format_date_time(displayed_time(utc, settings, zones));
}

// A zone database of one fixed zone and a local zone, for the rules alone.
const ZoneOffset kFixedZones = [](const std::string& zone, double /*utc*/) -> std::optional<double> {
  if (zone.empty()) {
    return -7 * 3600.0;
  }
  return zone == "Asia/Taipei" ? std::optional<double>(8 * 3600.0) : std::nullopt;
};

TEST(TimeSettings, TwoFieldSettingsShowTheKeysLessTheFormsOffsetInThisComputersZone) {
  const TimeSettings settings = read_time_settings("mi,ENG\n");
  EXPECT_EQ(settings.unit, SpeedUnit::Mph);
  EXPECT_EQ(settings.camera_zone, "");
  const double utc = key_to_utc(at("2021/07/01 20:00:00"), kGps0Offset, settings, kFixedZones);
  EXPECT_EQ(format_date_time(utc), "2021-07-01 12:00:00");
  EXPECT_EQ(shown(utc, settings, kFixedZones), "2021-07-01 05:00:00") << "the local zone, not the camera's clock";
  EXPECT_EQ(shown(utc, settings, {}), "2021-07-01 12:00:00") << "UTC when no zone is known at all";
}

TEST(TimeSettings, ZonesAndCorrectionMoveTheClock) {
  const TimeSettings settings = read_time_settings("km,ENG,+08:00,+05:45,-2.5");
  ASSERT_EQ(settings.camera_zone, "+08:00");
  EXPECT_EQ(settings.display_zone, "+05:45");
  EXPECT_DOUBLE_EQ(settings.correction, -2.5);
  const double utc = key_to_utc(100000.0, kFreeGpsOffset, settings, {});
  EXPECT_DOUBLE_EQ(utc, 100000.0 - 8 * 3600 - 2.5);
  EXPECT_DOUBLE_EQ(displayed_time(utc, settings, {}), utc + 5 * 3600 + 45 * 60);
}

TEST(TimeSettings, UnknownZoneNamesFallBackToTheDefaults) {
  const TimeSettings settings = read_time_settings("km,ENG,Mars/Olympus,Mars/Olympus,2.5");
  const double utc = key_to_utc(at("2021/07/01 20:00:00"), kFreeGpsOffset, settings, kFixedZones);
  EXPECT_DOUBLE_EQ(utc, at("2021/07/01 19:00:02") + 0.5) << "the form's offset and the correction";
  EXPECT_EQ(shown(utc, settings, kFixedZones), "2021-07-01 12:00:02") << "this computer's zone";
}

TEST(TimeSettings, CorrectionsAreReadAsThePageReadsThem) {
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,,9000").correction, 3600.0) << "held to the hour";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,,-9000").correction, -3600.0);
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,,1.26").correction, 1.3) << "tenths";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,,-1.25").correction, -1.2) << "halves up, as Math.round";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,, 12s").correction, 12.0) << "the leading number, as parseFloat";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,x,y,1e999").correction, 0.0) << "not finite: the default";
  EXPECT_DOUBLE_EQ(read_time_settings("km,ENG,,,abc").correction, 0.0);
  const TimeSettings empty = read_time_settings("km,ENG,,");
  EXPECT_EQ(empty.camera_zone, "");
  EXPECT_EQ(empty.display_zone, "");
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

// The system's zone database against the page's own results for the same
// settings and keys (time.js under Node's ICU, TZ=America/Los_Angeles).
class PageZones : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz == nullptr ? std::nullopt : std::optional<std::string>(tz);
    setenv("TZ", "America/Los_Angeles", 1);
  }
  void TearDown() override { saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ"); }

  static std::string page_clock(const char* settings_text, const char* key, double key_offset, double t) {
    const TimeSettings settings = read_time_settings(settings_text);
    const double utc = key_to_utc(at(key), key_offset, settings, base::zone_offset_at) + t;
    return shown(utc, settings, base::zone_offset_at);
  }

  std::optional<std::string> saved_;
};

TEST_F(PageZones, AKeyInTheSkippedHourTakesTheOffsetFromBefore) {
  EXPECT_EQ(page_clock("km,ENG,Europe/Berlin,America/New_York", "2021/03/28 02:30:00", kFreeGpsOffset, 0),
            "2021-03-27 21:30:00");
}

TEST_F(PageZones, AKeyInTheRepeatedHourIsTheFirstOfTheTwo) {
  EXPECT_EQ(page_clock("km,ENG,Europe/Berlin,Europe/London", "2021/10/31 02:30:00", kFreeGpsOffset, 0),
            "2021-10-31 01:30:00");
  EXPECT_EQ(page_clock("km,ENG,Europe/Berlin,Europe/London", "2021/10/31 02:30:00", kFreeGpsOffset, 3600),
            "2021-10-31 01:30:00")
      << "an hour later London has gone back";
  EXPECT_EQ(page_clock("km,ENG,America/New_York,Asia/Kolkata,-1", "2021/11/07 01:30:00", kFreeGpsOffset, 0),
            "2021-11-07 10:59:59");
}

TEST_F(PageZones, TheDisplayZoneChangesItsOffsetWithinAClip) {
  const char* settings = "km,ENG,,Europe/Berlin";
  EXPECT_EQ(page_clock(settings, "2021/03/28 01:59:00", kFreeGpsOffset, 0), "2021-03-28 01:59:00");
  EXPECT_EQ(page_clock(settings, "2021/03/28 01:59:00", kFreeGpsOffset, 119.9), "2021-03-28 03:00:59");
  EXPECT_EQ(page_clock(settings, "2021/03/28 01:59:00", kFreeGpsOffset, 120), "2021-03-28 03:01:00");
}

TEST_F(PageZones, AnEmptyDisplayZoneIsThisComputersZone) {
  EXPECT_EQ(page_clock("km,ENG,Asia/Taipei", "2021/07/01 12:00:00", kGps0Offset, 0), "2021-06-30 21:00:00");
  EXPECT_EQ(page_clock("km,ENG", "2021/07/01 20:00:00", kGps0Offset, 0), "2021-07-01 05:00:00");
  EXPECT_EQ(page_clock("km,ENG,Mars/Olympus,Mars/Olympus,2.5", "2021/07/01 20:00:00", kFreeGpsOffset, 0),
            "2021-07-01 12:00:02");
}

}  // namespace
}  // namespace vek::drive
