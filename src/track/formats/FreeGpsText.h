#pragma once
// freeGPS atoms whose payload is text or text beside doubles: a camera clock
// with an RMC sentence, doubles with an RMC copy, an RMC shifted up by 16,
// and a slash-dated line in degrees.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

namespace vek::track::formats {

// `atom` starts at the atom's size field ("....freeGPS ...").
bool looks_like_freegps_text(Bytes atom);

Decoded decode_freegps_text(Bytes atom);

}  // namespace vek::track::formats
