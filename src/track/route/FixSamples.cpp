#include "track/route/FixSamples.h"

#include "track/formats/UtcClock.h"

namespace vek::track::route {

std::vector<RouteSample> samples_of_fixes(const std::vector<formats::Fix>& fixes) {
  std::vector<RouteSample> samples;
  samples.reserve(fixes.size());
  for (const formats::Fix& fix : fixes) {
    RouteSample s;
    s.utc = formats::unix_from_utc(fix.time);
    s.latitude = fix.latitude;
    s.longitude = fix.longitude;
    s.speed_kmh = fix.speed_kmh;
    s.degrees = fix.course.value_or(0.0);
    const GSensor g = fix.accel.value_or(GSensor{});
    s.gx = g.x;
    s.gy = g.y;
    s.gz = g.z;
    s.status = fix.valid ? 'A' : 'V';
    samples.push_back(s);
  }
  return samples;
}

}  // namespace vek::track::route
