#pragma once
// GPMF key-length-value telemetry, one metadata-track sample at a time:
// GPS5 and GPS9 positions, GPSU time, GPSF fix, GPSP precision, ACCL.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

namespace vek::track::formats {

// The sample begins with a DEVC container whose length fits the bytes.
bool looks_like_gpmf(Bytes sample);

// One sample's points, spread evenly over `duration_seconds` from the stream's
// GPSU time (GPS5) or at their own times (GPS9, preferred when both exist).
Decoded decode_gpmf(Bytes sample, double duration_seconds);

}  // namespace vek::track::formats
