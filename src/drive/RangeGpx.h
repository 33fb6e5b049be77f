#pragma once
// The route of an export's range as GPX 1.1, written beside the movie.

#include <string>
#include <string_view>
#include <vector>

#include "drive/ClipTrack.h"
#include "drive/ExportRange.h"
#include "drive/TimeSettings.h"

namespace vek::drive {

// One track point per sample some frame of the range shows and that has a
// position, in order; times in UTC as the page reckons them (each track's
// first key in the camera zone, or less the form's own offset, plus the clock
// correction, then the sample's time); speed in m/s. `name` is escaped.
std::string range_gpx(const std::vector<ClipTrack>& tracks, const std::vector<Segment>& segments,
                      const TimeSettings& settings, const ZoneOffset& zones, std::string_view name);

}  // namespace vek::drive
