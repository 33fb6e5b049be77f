#pragma once
// Sample time keys of a track text ("2016/03/01 10:05:7.5", "2016/03/01 17:05:07.3")
// read the way the page reads them: the camera's clock taken as UTC, hours past
// 23 carried into the date as plain seconds.

#include <optional>
#include <string>
#include <string_view>

namespace vek::drive {

// Seconds since 1970, or nullopt when the key is not a time.
std::optional<double> parse_time_key(std::string_view key);

// "yyyy-MM-dd HH:mm:ss" of `seconds` (whole seconds, rounded down), as the page prints its clock.
std::string format_date_time(double seconds);

}  // namespace vek::drive
