#pragma once
// Fixed-size binary subtitle samples: a u16 BE prefix (288 or 1046) equal to
// the sample size less 2, four zero bytes, a camera-clock text, acceleration
// and NUL-padded RMC and GGA sentences.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <span>

namespace vek::track::formats {

bool looks_like_subtitle_binary(Bytes sample);

Decoded decode_subtitle_binary(std::span<const Bytes> samples);

}  // namespace vek::track::formats
