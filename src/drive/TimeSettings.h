#pragma once
// The page's time settings in ini.txt and the page's rules for them: the
// track keys are the camera's clock plus the fixed offset the track's form
// adds; a camera zone reads them as wall time of that zone instead, a
// correction makes up for a drifting camera clock, and the display zone
// (this computer's when empty) turns the true moment into the wall time shown.

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
  std::string camera_zone;   // an IANA name or a UTC offset; empty or unknown: the form's own offset
  std::string display_zone;  // an IANA name or a UTC offset; empty or unknown: this computer's zone
  double correction = 0;     // seconds added to the camera's clock, in tenths
};

// Reads the settings text as the page does: a correction is held to the
// hour either way and rounded to tenths; a field that does not parse is the default.
TimeSettings read_time_settings(std::string_view ini_text);

// Seconds east of UTC for "+08:00", "-5:30", "+8", "UTC+5:45", "Z" or "UTC".
std::optional<double> parse_utc_offset(std::string_view text);

// Seconds east of UTC of a named zone at a UTC moment, the empty name being
// this computer's zone; nullopt for a name the zone database does not know.
using ZoneOffset = std::function<std::optional<double>(const std::string& zone, double utc)>;

// The UTC moment of a camera key time (seconds, the keys' own clock) of a
// track whose form adds `key_offset` seconds, with the clock correction.
double key_to_utc(double key_time, double key_offset, const TimeSettings& settings, const ZoneOffset& zones);

// The wall time shown for a UTC moment in the display zone, as seconds whose
// UTC fields are the wall clock's; UTC itself when no zone is known.
double displayed_time(double utc, const TimeSettings& settings, const ZoneOffset& zones);

}  // namespace vek::drive
