#pragma once
// ASCII telemetry records XOR-ed with 0xAA, found in text-track samples, gpmd
// samples, gps0 records and freeGPS atoms (from A+18). A record starts two
// bytes before its signature `f2 e1 f0 ee 54 54`.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <span>
#include <vector>

namespace vek::track::formats {

// Offset of the record inside a freeGPS atom (from the atom's size field).
inline constexpr std::size_t kXorRecordInFreeGps = 18;
// The records' size where a `gps0` atom holds them one after another.
inline constexpr std::size_t kXorRecordInGps0 = 311;

bool looks_like_xor_text(Bytes record);

Decoded decode_xor_text(std::span<const Bytes> records);

// The records of a `gps0` atom's payload read in 311-byte steps from its
// start; a step without the signature is skipped, not resynchronised.
std::vector<Bytes> xor_records_of_gps0(Bytes payload);

}  // namespace vek::track::formats
