#pragma once
// Finds the "freeGPS" boxes of a clip and decodes each into a FreeGpsBox.

#include "track/ByteReader.h"
#include "track/Samples.h"

#include <cstdint>
#include <functional>

namespace vek::track {

// The index of the clip's first "freeGPS" marker, or NSNotFound: a clip with
// none is of the gps0 family.
std::uint64_t first_freegps_marker(Bytes clip) noexcept;

// From the marker at `first`, calls `visit` for every box that lies wholly
// inside the clip, in file order, and returns how many it decoded; a box that
// would reach past the clip's end is skipped.
std::uint64_t scan_freegps(Bytes clip, std::uint64_t first, const std::function<void(const FreeGpsBox&)>& visit);

// Decodes the 332-byte box (which must fit) that starts `offset` bytes into `clip`.
FreeGpsBox decode_freegps_box(ByteReader& clip, std::uint64_t offset);

}  // namespace vek::track
