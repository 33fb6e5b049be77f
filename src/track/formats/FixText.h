#pragma once
// The track text of the freeGPS form for fixes of any camera family, with
// that form's keys, units and time keys, so the page reads them unchanged.

#include "track/formats/Fix.h"

#include <string>
#include <string_view>
#include <vector>

namespace vek::track::formats {

// `fns` is the clip's file name (escaped here). Each fix is one statement
// keyed by its UTC time shown as the freeGPS form shows its times.
std::string fixes_as_freegps_text(std::string_view fns, const std::vector<Fix>& fixes);

}  // namespace vek::track::formats
