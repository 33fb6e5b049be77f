#pragma once
// A clip's route as a GPX 1.1 track, for other tools.
//
// Times are written as UTC: the cameras store UTC and add a display offset
// only in the track file's keys (+1 h freeGPS, +8 h gps0), which is left out
// here. A time that is not a valid date is left out of its point. Positions
// outside -90..90 / -180..180 (corrupt records) are dropped. Speed goes in the
// Garmin TrackPointExtension v2 `speed` element in m/s: freeGPS stores cm/s,
// gps0 whole km/h. A gps0 record gives one point (not ten), the records the
// track file writes (three skipped per chunk).

#include "track/ByteReader.h"

#include <string>
#include <string_view>

namespace vek::track {

std::string gpx_track(Bytes clip, std::string_view track_name);

}  // namespace vek::track
