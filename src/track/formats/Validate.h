#pragma once
// What no camera could have recorded is dropped before a track is written:
// void fixes, (0, 0), positions off the globe, impossible dates, rows that go
// back in time (stale ring-buffer rows) and jumps faster than any car.

#include "track/formats/Fix.h"

namespace vek::track::formats {

// A car does not cover ground faster than this; a jump that implies more is a bad row.
inline constexpr double kMaxImpliedSpeedKmh = 300.0;

// The fixes worth writing, in order; a note names each reason rows were dropped.
Decoded validated(Decoded decoded);

}  // namespace vek::track::formats
