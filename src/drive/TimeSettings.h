#pragma once
// The page's time settings in ini.txt: "unit,language" and, when a newer page
// has saved them, the camera's zone, the zone to show and a clock correction
// in seconds as further fields. Without them times are the camera's clock.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "drive/Readings.h"

namespace vek::drive {

// Correction the page allows for a drifting camera clock.
constexpr double kMaxClockCorrection = 3600.0;

struct TimeSettings {
  SpeedUnit unit = SpeedUnit::Kmh;
  std::optional<double> camera_offset;  // seconds east of UTC of the camera's keys
  std::string display_zone;             // an IANA name or a UTC offset; empty: the camera's clock
  double correction = 0;                // seconds added to the camera's clock
};

// Reads the settings text; fields that do not parse are left at their defaults.
TimeSettings read_time_settings(std::string_view ini_text);

// Seconds east of UTC for "+08:00", "-5:30", "+8", "UTC+5:45", "Z" or "UTC".
std::optional<double> parse_utc_offset(std::string_view text);

// Seconds east of UTC of a named zone at a UTC moment; nullopt for an unknown zone.
using ZoneOffset = std::function<std::optional<double>(const std::string& zone, double utc)>;

// The clock the export shows for a camera key time (seconds, the keys' own clock).
double displayed_time(double key_time, const TimeSettings& settings, const ZoneOffset& zone_offset);

}  // namespace vek::drive
