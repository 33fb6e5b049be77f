#include "track/formats/Camm.h"

#include "track/formats/Notes.h"
#include "track/formats/UtcClock.h"

#include <array>
#include <cmath>
#include <numbers>

namespace vek::track::formats {

namespace {

constexpr std::size_t kHeader = 4;
// Packet sizes including the header, by type.
constexpr std::array<std::size_t, 8> kPacketSize = {16, 12, 16, 16, 16, 28, 60, 16};
constexpr std::uint16_t kAccelType = 3;
constexpr std::uint16_t kPositionType = 5;
constexpr std::uint16_t kGpsType = 6;
constexpr double kStandardGravity = 9.80665;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kEpochToleranceSeconds = 5 * 365.25 * 86400;  // a peer's "more than 5 years off"
constexpr int kFixTwoDimensions = 2;

std::optional<std::size_t> packet_size(ByteReader& r, std::size_t at) {
  if (!r.fits(at, kHeader)) return std::nullopt;
  const std::uint16_t type = r.u16le(at + 2);
  if (type >= kPacketSize.size() || !r.fits(at, kPacketSize[type])) return std::nullopt;
  return kPacketSize[type];
}

double gps_seconds_to_unix(double seconds, const CammClock& clock, Decoded& decoded) {
  const double gps_based = kGpsEpochUnixSeconds + seconds;
  if (clock.creation_unix && std::abs(gps_based - *clock.creation_unix) > kEpochToleranceSeconds &&
      std::abs(seconds - *clock.creation_unix) <= kEpochToleranceSeconds) {
    note_once(decoded, "type-6 time read from the Unix epoch: the GPS epoch put it over 5 years off the movie's date");
    return seconds;
  }
  note_once(decoded, "type-6 time read as seconds since 1980-01-06 without leap seconds, as peers do");
  return gps_based;
}

void take_gps(ByteReader& r, std::size_t at, const CammClock& clock, Decoded& decoded) {
  const double when = gps_seconds_to_unix(r.f64le(at + 4), clock, decoded);
  const std::int32_t fix_type = r.i32le(at + 12);
  const double latitude = r.f64le(at + 16);
  const double longitude = r.f64le(at + 24);
  const double east = r.f32le(at + 44);
  const double north = r.f32le(at + 48);
  const auto utc = utc_from_unix(when);
  if (!utc || !(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180) || !std::isfinite(east) ||
      !std::isfinite(north))
    return;
  Fix fix;
  fix.time = *utc;
  fix.latitude = latitude;
  fix.longitude = longitude;
  fix.speed_kmh = std::hypot(east, north) * kKmhPerMetrePerSecond;
  if (fix.speed_kmh > 0) {
    const double course = std::atan2(east, north) * 180.0 / std::numbers::pi;
    fix.course = course < 0 ? course + 360.0 : course;
  }
  fix.valid = fix_type >= kFixTwoDimensions;
  decoded.fixes.push_back(fix);
}

void take_position(ByteReader& r, std::size_t at, const TrackSample& sample, const CammClock& clock, Decoded& decoded) {
  if (!clock.creation_unix) {
    note_once(decoded, "type-5 positions skipped: no movie creation time to place them");
    return;
  }
  const double latitude = r.f64le(at + 4);
  const double longitude = r.f64le(at + 12);
  const auto utc = utc_from_unix(*clock.creation_unix + sample.start_seconds);
  if (!utc || !(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180)) return;
  Fix fix;
  fix.time = *utc;
  fix.latitude = latitude;
  fix.longitude = longitude;
  decoded.fixes.push_back(fix);
  note_once(decoded, "type-5 positions timed from the movie's creation time; no speed in that packet");
}

void take_sample(const TrackSample& sample, const CammClock& clock, Decoded& decoded) {
  ByteReader r(sample.bytes);
  std::size_t at = 0;
  while (const auto size = packet_size(r, at)) {
    const std::uint16_t type = r.u16le(at + 2);
    if (type == kGpsType)
      take_gps(r, at, clock, decoded);
    else if (type == kPositionType)
      take_position(r, at, sample, clock, decoded);
    else if (type == kAccelType)
      decoded.accel.push_back({static_cast<float>(r.f32le(at + 4) / kStandardGravity),
                               static_cast<float>(r.f32le(at + 8) / kStandardGravity),
                               static_cast<float>(r.f32le(at + 12) / kStandardGravity)});
    at += *size;
  }
}

}  // namespace

bool looks_like_camm(Bytes sample) {
  ByteReader r(sample);
  std::size_t at = 0;
  while (const auto size = packet_size(r, at))
    at += *size;
  return at > 0 && at == sample.size();
}

Decoded decode_camm(std::span<const TrackSample> samples, const CammClock& clock) {
  Decoded decoded;
  for (const auto& sample : samples)
    take_sample(sample, clock, decoded);
  return decoded;
}

}  // namespace vek::track::formats
