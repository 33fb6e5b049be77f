#include "track/formats/Validate.h"

#include "track/formats/Notes.h"
#include "track/formats/UtcClock.h"

#include <cmath>
#include <numbers>

namespace vek::track::formats {
namespace {

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kSecondsPerHour = 3600.0;

double distance_km(const Fix& a, const Fix& b) {
  const double rad = std::numbers::pi / 180.0;
  const double dlat = (b.latitude - a.latitude) * rad;
  const double dlon = (b.longitude - a.longitude) * rad;
  const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(a.latitude * rad) * std::cos(b.latitude * rad) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::min(1.0, h)));
}

// Why the fix alone cannot be kept, or null.
const char* own_fault(const Fix& fix) {
  if (!fix.valid) return "void fixes dropped";
  if (!std::isfinite(fix.latitude) || !std::isfinite(fix.longitude) || std::abs(fix.latitude) > 90 ||
      std::abs(fix.longitude) > 180)
    return "positions off the globe dropped";
  if (fix.latitude == 0 && fix.longitude == 0) return "(0, 0) positions dropped";
  if (!is_valid_utc(fix.time)) return "impossible dates dropped";
  return nullptr;
}

// Why the fix cannot follow `last`, the previous kept one, or null.
const char* sequence_fault(const Fix& last, const Fix& fix) {
  const double seconds = *unix_from_utc(fix.time) - *unix_from_utc(last.time);
  if (seconds < 0) return "rows going back in time (stale ring-buffer rows) dropped";
  if (seconds > 0 && distance_km(last, fix) / (seconds / kSecondsPerHour) > kMaxImpliedSpeedKmh)
    return "jumps implying over 300 km/h dropped";
  return nullptr;
}

}  // namespace

Decoded validated(Decoded decoded) {
  std::vector<Fix> kept;
  for (const Fix& fix : decoded.fixes) {
    const char* fault = own_fault(fix);
    if (fault == nullptr && !kept.empty()) fault = sequence_fault(kept.back(), fix);
    if (fault != nullptr)
      note_once(decoded, fault);
    else
      kept.push_back(fix);
  }
  decoded.fixes = std::move(kept);
  return decoded;
}

}  // namespace vek::track::formats
