#pragma once
// Which samples of a trip belong on its route. A sample without a fix
// (status 'V'), at exactly (0, 0) (the cameras' "no position"), outside the
// globe, without a valid time, or an isolated jump that implies more than
// 300 km/h stays in the data but is left out of routes, distances and speeds.

#include "track/route/RouteSample.h"

#include <span>

namespace vek::track::route {

inline constexpr double kGlitchSpeedKmh = 300;  // no car covers ground faster

// A usable position: a fix, on the globe, not (0, 0), with a time.
bool is_fix(const RouteSample& s);

// Great-circle distance in metres (mean Earth radius).
double great_circle_m(double lat1, double lon1, double lat2, double lon2);

// Sets on_route for every sample, in trip order across its clips.
void mark_route_fixes(std::span<ClipSamples> clips);

}  // namespace vek::track::route
