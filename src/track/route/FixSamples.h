#pragma once
// The route samples of fixes a camera family's reader decoded, as the track
// file of the freeGPS form holds them: every validated fix is on a fix.

#include "track/formats/Fix.h"
#include "track/route/RouteSample.h"

#include <vector>

namespace vek::track::route {

std::vector<RouteSample> samples_of_fixes(const std::vector<formats::Fix>& fixes);

}  // namespace vek::track::route
