#pragma once
// camm camera-motion metadata samples: packets of a u16 reserved field, a u16
// LE type (0 to 7) and a little-endian payload; several may share a sample.

#include "track/formats/Fix.h"
#include "track/formats/TrackSample.h"

#include <optional>
#include <span>

namespace vek::track::formats {

struct CammClock {
  // The movie's creation time (seconds since 1970, UTC) when known: the base
  // of type-5 positions, and the reference that tells the type-6 epoch.
  std::optional<double> creation_unix;
};

bool looks_like_camm(Bytes sample);

Decoded decode_camm(std::span<const TrackSample> samples, const CammClock& clock);

}  // namespace vek::track::formats
