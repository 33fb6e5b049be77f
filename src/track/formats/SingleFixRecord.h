#pragma once
// freeGPS atoms that hold one fix as a little-endian 44-byte record: u32
// hour, minute, second, year, month, day; status, hemisphere letters and a
// zero; f32 latitude and longitude (DDMM), speed (knots) and course.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <optional>
#include <string>

namespace vek::track::formats {

// Where in the atom the record sits, found by its signature.
enum class SingleFixLayout { at48, at16, at64 };

struct SingleFix {
  Fix fix;
  SingleFixLayout layout = SingleFixLayout::at48;
  bool full_year = false;   // the year field held the full year (the camera's local clock)
  bool degrees_e7 = false;  // "IQS" variant: integer degrees x 1e7 and m/s x 100
};

// The fix of one freeGPS atom (from its size field), when a layout's signature matches.
std::optional<SingleFix> decode_single_fix_atom(Bytes atom);

// True when the A+48 signature is followed by a zero latitude field: the
// form whose cipher is unknown (a plain decode would put it on the equator).
bool is_unknown_cipher_record(Bytes atom);

// Degrees from NMEA-style DDMM.mmmm; nothing when the minutes are 60 or more.
std::optional<double> degrees_from_ddmm(double ddmm);

}  // namespace vek::track::formats
