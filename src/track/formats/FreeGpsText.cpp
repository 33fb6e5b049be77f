#include "track/formats/FreeGpsText.h"

#include "track/formats/FreeGpsSlashText.h"
#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <cmath>

namespace vek::track::formats {

namespace {

enum class Layout { none, clock_and_rmc, doubles_and_rmc, shifted_rmc, slash_date };

constexpr std::string_view kMarker = "freeGPS ";
constexpr std::size_t kMarkerAt = 4;
constexpr std::size_t kClockAt = 52;       // 14 digits YYYYMMDDhhmmss, camera clock
constexpr std::size_t kClockAccelAt = 68;  // 3 x i32, /256 g
constexpr std::size_t kClockTextAt = 66;   // the RMC follows the clock and the acceleration
constexpr std::size_t kShiftedAt = 60;
constexpr std::size_t kShiftedLength = 80;  // the writer shifts this many bytes
constexpr std::uint8_t kShift = 16;
constexpr std::size_t kAlternateHeaderAt = 12;
constexpr std::uint8_t kAlternateHeaderLength = 0xAC;
constexpr std::size_t kSlashAt = 23;
// Every text layout fits in this much of the atom; the rest is padding.
constexpr std::size_t kTextWindow = 1024;
constexpr double kClockAccelPerG = 256.0;
constexpr double kDoublesAccelPerG = 1000.0;

bool has_marker(ByteReader& r) {
  return r.fits(kMarkerAt, kMarker.size()) && as_text(r.range(kMarkerAt, kMarker.size())) == kMarker;
}

bool is_shifted(ByteReader& r) {
  constexpr std::string_view shifted = "\x34\x57\x60\x62\x5d\x53\x3c";  // "$GPRMC," + 16
  return r.fits(kShiftedAt, shifted.size()) && as_text(r.range(kShiftedAt, shifted.size())) == shifted;
}

bool is_slash_date(std::string_view text) {
  return fixed_digits(text, kSlashAt, 4) && text.substr(kSlashAt + 4, 1) == "/" &&
         text.substr(kSlashAt + 7, 1) == "/" && text.substr(kSlashAt + 10, 1) == " " &&
         text.substr(kSlashAt + 13, 1) == ":";
}

bool is_doubles(ByteReader& r) {
  const auto at = [&](std::size_t o) { return static_cast<char>(r.u8(o)); };
  return r.fits(0, 104) && (at(28) == 'A' || at(28) == 'V') && (at(40) == 'N' || at(40) == 'S') &&
         (at(56) == 'E' || at(56) == 'W');
}

Layout layout_of(Bytes atom) {
  ByteReader r(atom);
  if (!has_marker(r)) return Layout::none;
  const std::string_view text = as_text(atom.first(std::min(atom.size(), kTextWindow)));
  if (is_shifted(r)) return Layout::shifted_rmc;
  if (is_slash_date(text)) return Layout::slash_date;
  if (fixed_digits(text, kClockAt, 14) && !find_rmc_sentences(text.substr(kClockTextAt)).empty())
    return Layout::clock_and_rmc;
  if (is_doubles(r)) return Layout::doubles_and_rmc;
  return Layout::none;
}

std::optional<GSensor> accel_at(ByteReader& r, std::size_t at, double per_g) {
  if (!r.fits(at, 12)) return std::nullopt;
  return GSensor{static_cast<float>(r.i32le(at) / per_g), static_cast<float>(r.i32le(at + 4) / per_g),
                 static_cast<float>(r.i32le(at + 8) / per_g)};
}

Decoded from_rmc(std::string_view text, Checksum rule) {
  Decoded decoded;
  for (const auto sentence : find_rmc_sentences(text)) {
    if (const auto fix = parse_rmc(sentence, rule)) decoded.fixes.push_back(*fix);
  }
  return decoded;
}

Decoded clock_and_rmc(Bytes atom) {
  ByteReader r(atom);
  const std::string_view text = as_text(atom.first(std::min(atom.size(), kTextWindow)));
  Decoded decoded = from_rmc(text.substr(kClockTextAt), Checksum::checked_if_present);
  if (!decoded.fixes.empty()) decoded.fixes.front().accel = accel_at(r, kClockAccelAt, kClockAccelPerG);
  note_once(decoded, "time from the RMC sentence (UTC); the camera clock digits are not used");
  return decoded;
}

Decoded shifted_rmc(Bytes atom) {
  ByteReader r(atom);
  std::string text;
  for (const std::byte b : r.range(kShiftedAt, std::min<std::size_t>(kShiftedLength, atom.size() - kShiftedAt))) {
    const auto c = static_cast<std::uint8_t>(b);
    text.push_back(static_cast<char>(c >= kShift ? c - kShift : c));
  }
  Decoded decoded = from_rmc(text, Checksum::checked_if_present);
  note_once(decoded, "RMC read after subtracting 16 from each byte of 80");
  if (r.u8(kAlternateHeaderAt) == kAlternateHeaderLength)
    note_once(decoded, "header length byte 0xAC at A+12 decoded the same way (one reference says it cannot be)");
  return decoded;
}

std::optional<double> ddmm_double(double value, char hemisphere, double max_degrees) {
  if (!std::isfinite(value) || value < 0 || value > max_degrees * 100 + 60) return std::nullopt;
  const double whole = std::floor(value / 100.0);
  const double minutes = value - whole * 100.0;
  if (minutes >= 60.0 || whole > max_degrees) return std::nullopt;
  const double degrees = whole + minutes / 60.0;
  return hemisphere == 'S' || hemisphere == 'W' ? -degrees : degrees;
}

Decoded doubles_and_rmc(Bytes atom) {
  ByteReader r(atom);
  Decoded decoded;
  const UtcTime time{2000 + static_cast<int>(r.u32le(80)), static_cast<int>(r.u32le(84)),
                     static_cast<int>(r.u32le(88)),        static_cast<int>(r.u32le(16)),
                     static_cast<int>(r.u32le(20)),        static_cast<double>(r.u32le(24))};
  const auto latitude = ddmm_double(r.f64le(32), static_cast<char>(r.u8(40)), 90.0);
  const auto longitude = ddmm_double(r.f64le(48), static_cast<char>(r.u8(56)), 180.0);
  const double knots = r.f64le(64);
  const double course = r.f64le(72);
  if (!is_valid_utc(time) || !latitude || !longitude || !std::isfinite(knots) || knots < 0) return decoded;
  Fix fix;
  fix.time = time;
  fix.latitude = *latitude;
  fix.longitude = *longitude;
  fix.speed_kmh = knots * kKmhPerKnot;
  if (std::isfinite(course) && course >= 0 && course <= 360) fix.course = course;
  fix.valid = r.u8(28) == 'A';
  fix.accel = accel_at(r, 92, kDoublesAccelPerG);
  decoded.fixes.push_back(fix);
  return decoded;
}

}  // namespace

bool looks_like_freegps_text(Bytes atom) {
  return layout_of(atom) != Layout::none;
}

Decoded decode_freegps_text(Bytes atom) {
  switch (layout_of(atom)) {
    case Layout::clock_and_rmc:
      return clock_and_rmc(atom);
    case Layout::doubles_and_rmc:
      return doubles_and_rmc(atom);
    case Layout::shifted_rmc:
      return shifted_rmc(atom);
    case Layout::slash_date:
      return decode_slash_date_text(
          until_nul(as_text(atom.first(std::min(atom.size(), kTextWindow))).substr(kSlashAt)));
    case Layout::none:
      break;
  }
  return {};
}

}  // namespace vek::track::formats
