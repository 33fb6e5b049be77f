#pragma once
// A top-level "GPS " atom (upper case; not the `moov/gps ` index) of 36-byte
// little-endian records: u32 1, u32 has-fix, u32 seconds since the recording
// started, u32 speed in m/h, 'N'/'S' at +16 with u32 DDMM.mmm x 1000 at +17,
// 'E'/'W' at +21 with u32 DDDMM.mmm x 1000 at +22; an all-zero record ends them.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

namespace vek::track::formats {

// The records carry no date: `start_unix` is the recording's start (UTC seconds).
Decoded decode_gps_box(Bytes payload, double start_unix);

// The first record has the layout's constant field and hemisphere letters.
bool looks_like_gps_box(Bytes payload);

}  // namespace vek::track::formats
