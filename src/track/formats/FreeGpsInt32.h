#pragma once
// freeGPS atoms whose fix is little-endian int32 DDMM: 'A'/'V' at A+30, "VV"
// at A+51, the u16 at A+12 repeated at A+18 and a zero u16 at A+14; signed
// latitude and longitude as DDMM x 1e5 at A+31 and A+35, course in degrees
// at A+39, speed in km/h at A+43. The atoms repeat with every video frame and
// carry no time of their own, only one clock value at A+0x16D.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <optional>
#include <vector>

namespace vek::track::formats {

struct Int32Block {
  Fix fix;              // without its time
  std::uint32_t clock;  // the unix seconds at A+0x16D, 8 h behind UTC
};

// The atom (from its size field) when its signature matches and the minutes are under 60.
std::optional<Int32Block> decode_int32_block(Bytes atom);

// One fix per change of position, a second apart from the first atom's clock.
Decoded decode_int32_blocks(const std::vector<Bytes>& atoms);

}  // namespace vek::track::formats
