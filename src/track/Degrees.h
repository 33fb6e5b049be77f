#pragma once
#include "track/Log.h"

namespace vek::track {

// degrees.minutes-seconds (25.0212345 is 25 deg 2' 12.345") to decimal
// degrees, through the camera maker's single-precision steps; logs the parts
// as "v1:", "v2:", "v3:" and "res:".
double ConvertDMSToDegrees(double value, const LogSink& log);

}  // namespace vek::track
