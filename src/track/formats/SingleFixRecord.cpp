#include "track/formats/SingleFixRecord.h"

#include <cmath>

namespace vek::track::formats {
namespace {

constexpr double kKmhPerKnot = 1.852;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kAccelUnitsPerG = 256.0;
constexpr std::uint64_t kRecordSize = 44;
constexpr std::uint64_t kAccelSize = 12;
constexpr std::uint64_t kStatusInRecord = 24;
constexpr std::uint32_t kFullYearFrom = 2000;
constexpr std::uint64_t kIqsAt = 16;  // A+16 "IQS" marks integer coordinates in the A+48 layout

struct LayoutPlace {
  SingleFixLayout layout;
  std::uint64_t record;  // from the atom's first byte
  bool zero_run_before;  // the A+16 layout's signature starts with three zero bytes
  bool accel_tail;
};

constexpr LayoutPlace kPlaces[] = {
    {SingleFixLayout::at48, 48, false, false},
    {SingleFixLayout::at16, 16, true, true},
    {SingleFixLayout::at64, 64, false, true},
};

bool is_char(ByteReader& r, std::uint64_t at, std::string_view set) {
  const auto c = static_cast<char>(r.u8(at));
  return !r.overflowed() && set.find(c) != std::string_view::npos;
}

bool signature_at(ByteReader& r, const LayoutPlace& place) {
  const std::uint64_t s = place.record + kStatusInRecord;
  if (!r.fits(place.record, kRecordSize) || r.u8(s + 3) != 0) return false;
  if (place.zero_run_before && (r.u8(s - 3) != 0 || r.u8(s - 2) != 0 || r.u8(s - 1) != 0)) return false;
  return is_char(r, s, "AV") && is_char(r, s + 1, "NS") && is_char(r, s + 2, "EW");
}

// Three i32 / 256 g after the record; all zero or the counter 1..6 some firmware writes mean none.
std::optional<GSensor> accel_tail(ByteReader& r, std::uint64_t at) {
  if (!r.fits(at, kAccelSize)) return std::nullopt;
  const Bytes raw = r.range(at, kAccelSize);
  bool zero = true;
  bool counter = true;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto b = static_cast<unsigned>(raw[i]);
    zero = zero && b == 0;
    counter = counter && b == (i % 2 == 0 ? i / 2 + 1 : 0);
  }
  if (zero || counter) return std::nullopt;
  return GSensor{static_cast<float>(r.i32le(at) / kAccelUnitsPerG),
                 static_cast<float>(r.i32le(at + 4) / kAccelUnitsPerG),
                 static_cast<float>(r.i32le(at + 8) / kAccelUnitsPerG)};
}

UtcTime record_time(ByteReader& r, std::uint64_t at, bool& full_year) {
  const std::uint32_t year = r.u32le(at + 12);
  full_year = year >= kFullYearFrom;
  UtcTime t;
  t.year = static_cast<int>(full_year ? std::min<std::uint32_t>(year, 9999) : year + kFullYearFrom);
  t.month = static_cast<int>(std::min<std::uint32_t>(r.u32le(at + 16), 99));
  t.day = static_cast<int>(std::min<std::uint32_t>(r.u32le(at + 20), 99));
  t.hour = static_cast<int>(std::min<std::uint32_t>(r.u32le(at), 99));
  t.minute = static_cast<int>(std::min<std::uint32_t>(r.u32le(at + 4), 99));
  t.second = std::min<std::uint32_t>(r.u32le(at + 8), 99);
  return t;
}

bool read_position(ByteReader& r, std::uint64_t at, bool iqs, Fix& fix) {
  const bool south = r.u8(at + 25) == 'S';
  const bool west = r.u8(at + 26) == 'W';
  std::optional<double> lat;
  std::optional<double> lon;
  if (iqs) {
    lat = std::abs(static_cast<double>(r.i32le(at + 28))) / 1e7;
    lon = std::abs(static_cast<double>(r.i32le(at + 32))) / 1e7;
    fix.speed_kmh = r.i32le(at + 36) / 100.0 * kKmhPerMetrePerSecond;
  } else {
    lat = degrees_from_ddmm(std::abs(static_cast<double>(r.f32le(at + 28))));
    lon = degrees_from_ddmm(std::abs(static_cast<double>(r.f32le(at + 32))));
    fix.speed_kmh = static_cast<double>(r.f32le(at + 36)) * kKmhPerKnot;
    fix.course = static_cast<double>(r.f32le(at + 40));
  }
  if (!lat || !lon) return false;
  fix.latitude = south ? -*lat : *lat;
  fix.longitude = west ? -*lon : *lon;
  return true;
}

}  // namespace

std::optional<double> degrees_from_ddmm(double ddmm) {
  if (!std::isfinite(ddmm) || ddmm < 0) return std::nullopt;
  const double degrees = std::floor(ddmm / 100);
  const double minutes = ddmm - degrees * 100;
  if (minutes >= 60) return std::nullopt;
  return degrees + minutes / 60;
}

std::optional<SingleFix> decode_single_fix_atom(Bytes atom) {
  ByteReader r(atom);
  for (const LayoutPlace& place : kPlaces) {
    if (!signature_at(r, place)) continue;
    SingleFix out;
    out.layout = place.layout;
    const std::uint64_t at = place.record;
    out.degrees_e7 = place.layout == SingleFixLayout::at48 && r.fits(kIqsAt, 3) && r.u8(kIqsAt) == 'I' &&
                     r.u8(kIqsAt + 1) == 'Q' && r.u8(kIqsAt + 2) == 'S';
    out.fix.time = record_time(r, at, out.full_year);
    out.fix.valid = r.u8(at + kStatusInRecord) == 'A';
    if (!read_position(r, at, out.degrees_e7, out.fix)) out.fix.valid = false;
    if (place.accel_tail) out.fix.accel = accel_tail(r, at + kRecordSize);
    if (r.overflowed()) return std::nullopt;
    return out;
  }
  return std::nullopt;
}

bool is_unknown_cipher_record(Bytes atom) {
  ByteReader r(atom);
  const LayoutPlace& place = kPlaces[0];
  return signature_at(r, place) && r.u32le(place.record + 28) == 0;
}

}  // namespace vek::track::formats
