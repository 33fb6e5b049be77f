#include "track/route/RouteFixes.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace vek::track::route {
namespace {

constexpr double kEarthRadiusM = 6371008.8;
constexpr double kMinStepS = 0.1;  // samples share a second at most in tenths
constexpr char kNoFixStatus = 'V';

double implied_kmh(const RouteSample& a, const RouteSample& b) {
  const double seconds = std::max(kMinStepS, std::fabs(*b.utc - *a.utc));
  return great_circle_m(a.latitude, a.longitude, b.latitude, b.longitude) / seconds * 3.6;
}

bool jump(const RouteSample* a, const RouteSample* b) {
  return a && b && implied_kmh(*a, *b) > kGlitchSpeedKmh;
}

std::vector<RouteSample*> fixes_in_order(std::span<ClipSamples> clips) {
  std::vector<RouteSample*> fixes;
  for (ClipSamples& clip : clips) {
    for (RouteSample& s : clip.samples) {
      s.on_route = false;
      if (is_fix(s)) fixes.push_back(&s);
    }
  }
  return fixes;
}

}  // namespace

bool is_fix(const RouteSample& s) {
  const bool on_globe = std::fabs(s.latitude) <= 90 && std::fabs(s.longitude) <= 180;
  return s.status != kNoFixStatus && on_globe && !(s.latitude == 0 && s.longitude == 0) && s.utc.has_value();
}

double great_circle_m(double lat1, double lon1, double lat2, double lon2) {
  constexpr double kRad = std::numbers::pi / 180;
  const double dlat = (lat2 - lat1) * kRad;
  const double dlon = (lon2 - lon1) * kRad;
  const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
}

// A fix is a glitch when it jumps away from the last kept fix and the next
// fix jumps back; the first fix is one when it jumps to a next fix that
// agrees with the one after it.
void mark_route_fixes(std::span<ClipSamples> clips) {
  const std::vector<RouteSample*> fixes = fixes_in_order(clips);
  const RouteSample* kept = nullptr;
  for (std::size_t k = 0; k < fixes.size(); ++k) {
    const RouteSample* next = k + 1 < fixes.size() ? fixes[k + 1] : nullptr;
    const RouteSample* after = k + 2 < fixes.size() ? fixes[k + 2] : nullptr;
    const bool glitch = kept ? jump(kept, fixes[k]) && (!next || jump(fixes[k], next))
                             : jump(fixes[k], next) && after && !jump(next, after);
    if (!glitch) {
      fixes[k]->on_route = true;
      kept = fixes[k];
    }
  }
}

}  // namespace vek::track::route
