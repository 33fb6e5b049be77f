#pragma once
// Calendar arithmetic for families that count time from an epoch or carry
// dates as separate fields: checked conversions, never an overflowing one.

#include "track/formats/Fix.h"

#include <optional>

namespace vek::track::formats {

// Dates outside these years are impossible for a camera recording and are
// refused before any arithmetic, so a garbage count cannot overflow.
inline constexpr int kEarliestYear = 1980;
inline constexpr int kLatestYear = 2200;

inline constexpr double kGpsEpochUnixSeconds = 315964800.0;   // 1980-01-06T00:00:00Z
inline constexpr double kGpmfEpochUnixSeconds = 946684800.0;  // 2000-01-01T00:00:00Z

// The calendar time `seconds` after 1970-01-01T00:00:00Z, if it lies in the accepted years.
std::optional<UtcTime> utc_from_unix(double seconds);

// Seconds since 1970 of a time whose fields are a real calendar date and time of day.
std::optional<double> unix_from_utc(const UtcTime& time);

// True when the fields form a real date and time of day in the accepted years.
bool is_valid_utc(const UtcTime& time);

}  // namespace vek::track::formats
