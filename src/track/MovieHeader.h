#pragma once
// The movie's own length, from the movie header ("moov" > "mvhd") of a
// QuickTime clip. Pure: bytes in, seconds out.

#include "track/ByteReader.h"

#include <optional>

namespace vek::track {

// Empty when the clip has no readable movie header or a zero time scale.
std::optional<double> movie_duration_seconds(Bytes clip);

// The movie header's creation time as seconds since 1970 (the header counts
// from 1904); empty without a header or with a time before 1970.
std::optional<double> movie_creation_unix(Bytes clip);

}  // namespace vek::track
