#pragma once
#include "track/ByteReader.h"

#include <cstdint>

namespace vek::track {

// The field's bytes as one unsigned big-endian number (0x07 0xE0 gives 2016);
// an empty field gives 0, a value beyond 32 bits saturates.
std::uint32_t hextodec(Bytes field) noexcept;

// Eight bytes holding a little-endian IEEE 754 double. Any other length is a
// caller's error and stops the program.
double ConvertNSDataToDouble(Bytes field);

// A 1-, 2- or 4-byte field as the top bytes of a signed 32-bit integer
// (one byte 0x40 gives 1073741824).
std::int32_t top_aligned(Bytes field) noexcept;

// A top-aligned integer in single precision divided by a single-precision scale.
inline float scaled(std::int32_t top, float scale) noexcept {
  return static_cast<float>(top) / scale;
}

}  // namespace vek::track
