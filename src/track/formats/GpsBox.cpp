#include "track/formats/GpsBox.h"

#include "track/formats/Globe.h"
#include "track/formats/Notes.h"
#include "track/formats/UtcClock.h"

namespace vek::track::formats {
namespace {

constexpr std::uint64_t kRecordSize = 36;
constexpr std::uint32_t kRecordMark = 1;  // every record's first field
constexpr double kMetresPerKm = 1000.0;
constexpr std::uint32_t kCoordinateScale = 100000;  // DDMM.mmm x 1000: degrees above, minutes x 1000 below
constexpr double kThousandths = 1000.0;
// A day at one record a second; more is not a camera's box.
constexpr std::uint64_t kMaxRecords = 86400;

std::optional<double> degrees_of(std::uint32_t raw, char hemisphere, char negative) {
  const double minutes = (raw % kCoordinateScale) / kThousandths;
  if (minutes >= 60) return std::nullopt;
  const std::uint32_t whole_degrees = raw / kCoordinateScale;
  const double degrees = whole_degrees + minutes / 60.0;
  return hemisphere == negative ? -degrees : degrees;
}

bool is_zero_record(ByteReader& r, std::uint64_t at) {
  for (const std::byte b : r.range(at, kRecordSize))
    if (b != std::byte{0}) return false;
  return true;
}

bool record_signature(ByteReader& r, std::uint64_t at) {
  const auto ns = static_cast<char>(r.u8(at + 16));
  const auto ew = static_cast<char>(r.u8(at + 21));
  return r.u32le(at) == kRecordMark && (ns == 'N' || ns == 'S') && (ew == 'E' || ew == 'W') && !r.overflowed();
}

std::optional<Fix> record_fix(ByteReader& r, std::uint64_t at, double start_unix) {
  if (!record_signature(r, at)) return std::nullopt;
  const auto lat = degrees_of(r.u32le(at + 17), static_cast<char>(r.u8(at + 16)), 'S');
  const auto lon = degrees_of(r.u32le(at + 22), static_cast<char>(r.u8(at + 21)), 'W');
  const auto time = utc_from_unix(start_unix + r.u32le(at + 8));
  if (!lat || !lon || !time || !on_globe(*lat, *lon)) return std::nullopt;
  Fix fix;
  fix.time = *time;
  fix.valid = r.u32le(at + 4) == 1;
  fix.latitude = *lat;
  fix.longitude = *lon;
  fix.speed_kmh = r.u32le(at + 12) / kMetresPerKm;
  return fix;
}

}  // namespace

bool looks_like_gps_box(Bytes payload) {
  ByteReader r(payload);
  return r.fits(0, kRecordSize) && record_signature(r, 0);
}

Decoded decode_gps_box(Bytes payload, double start_unix) {
  Decoded decoded;
  ByteReader r(payload);
  for (std::uint64_t at = 0; r.fits(at, kRecordSize) && at / kRecordSize < kMaxRecords; at += kRecordSize) {
    if (is_zero_record(r, at)) break;
    if (const auto fix = record_fix(r, at, start_unix))
      decoded.fixes.push_back(*fix);
    else
      note_once(decoded, "records without the layout's mark, hemisphere letters or minutes under 60 skipped");
  }
  note_once(decoded, "record times counted from the movie header's creation time, taken as UTC");
  return decoded;
}

}  // namespace vek::track::formats
