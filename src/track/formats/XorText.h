#pragma once
// ASCII telemetry records XOR-ed with 0xAA, found in text-track samples, gpmd
// samples, gps0 records and freeGPS atoms (from A+18). A record starts two
// bytes before its signature `f2 e1 f0 ee 54 54`.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <span>

namespace vek::track::formats {

// Offset of the record inside a freeGPS atom (from the atom's size field).
inline constexpr std::size_t kXorRecordInFreeGps = 18;

bool looks_like_xor_text(Bytes record);

Decoded decode_xor_text(std::span<const Bytes> records);

}  // namespace vek::track::formats
