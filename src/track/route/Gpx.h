#pragma once
// One clip's samples as a GPX 1.1 track, for other tools: the `gpx` command's
// text, whichever reader the samples came from.
//
// Times are written as UTC: the cameras store UTC and add a display offset
// only in the track file's keys (+1 h freeGPS, +8 h gps0), which is left out
// here. A sample without a valid date keeps its point without a time.
// Positions outside -90..90 / -180..180 (corrupt records) are dropped. Speed
// goes in the Garmin TrackPointExtension v2 `speed` element in m/s. Unlike a
// route export, every sample with a position is kept, glitches included: this
// is what the clip holds, not a cleaned drive.

#include "track/route/RouteSample.h"

#include <string>

namespace vek::track::route {

// A track named after the clip, one point per sample.
std::string gpx_track(const route::ClipSamples& clip);

}  // namespace vek::track::route
