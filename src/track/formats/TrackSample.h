#pragma once
// One sample of a metadata or subtitle track, with its place on the track's clock.

#include "track/ByteReader.h"

namespace vek::track::formats {

struct TrackSample {
  Bytes bytes;
  double start_seconds = 0;  // from the start of the track
  double duration_seconds = 0;
};

}  // namespace vek::track::formats
