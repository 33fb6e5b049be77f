#include "track/route/RouteSample.h"

#include "track/FreeGpsParser.h"
#include "track/Gps0Parser.h"
#include "track/Search.h"
#include "track/formats/UtcClock.h"

#include <chrono>

namespace vek::track::route {
namespace {

constexpr double kKmhPerCmPerS = 0.036;  // freeGPS speed unit
constexpr int kLastYear = 9999;          // four-digit years only

RouteSample freegps_sample(const FreeGpsBox& box, const FreeGpsSample& s) {
  RouteSample r;
  r.utc = utc_seconds(static_cast<int>(box.year), box.month, box.day, box.hour, box.minute, s.seconds);
  r.latitude = s.latitude_e7 / 1e7;
  r.longitude = s.longitude_e7 / 1e7;
  r.speed_kmh = s.speed_cm_s * kKmhPerCmPerS;
  r.degrees = s.degrees;
  r.gx = box.gsensor.x;
  r.gy = box.gsensor.y;
  r.gz = box.gsensor.z;
  r.status = static_cast<char>(s.status);
  return r;
}

RouteSample gps0_sample(const Gps0Record& record, const GSensor& g) {
  RouteSample r;
  r.utc = utc_seconds(record.year + kGps0YearBase, record.month, record.day, record.hour, record.minute, record.second);
  r.latitude = record.latitude;
  r.longitude = record.longitude;
  r.speed_kmh = record.speed;
  r.gx = g.x;
  r.gy = g.y;
  r.gz = g.z;
  return r;
}

RouteSample fix_sample(const formats::Fix& fix) {
  RouteSample r;
  r.utc = formats::unix_from_utc(fix.time);
  r.latitude = fix.latitude;
  r.longitude = fix.longitude;
  r.speed_kmh = fix.speed_kmh;
  r.degrees = fix.course.value_or(0.0);
  const GSensor g = fix.accel.value_or(GSensor{});
  r.gx = g.x;
  r.gy = g.y;
  r.gz = g.z;
  r.status = fix.valid ? 'A' : 'V';
  return r;
}

}  // namespace

std::optional<double> utc_seconds(int year, int month, int day, int hour, int minute, double seconds) {
  using namespace std::chrono;
  if (year < 1 || year > kLastYear || month < 1 || month > 12 || day < 1) return std::nullopt;
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || !(seconds >= 0 && seconds < 60))
    return std::nullopt;
  const auto days = sys_days{date}.time_since_epoch().count();
  return static_cast<double>(days) * 86400.0 + hour * 3600.0 + minute * 60.0 + seconds;
}

std::vector<RouteSample> route_samples(Bytes clip) {
  std::vector<RouteSample> out;
  const std::uint64_t first = first_freegps_marker(clip);
  if (first != NSNotFound) {
    scan_freegps(clip, first, [&](const FreeGpsBox& box) {
      for (const FreeGpsSample& sample : box.samples)
        out.push_back(freegps_sample(box, sample));
    });
    return out;
  }
  for_each_gps0_chunk(clip, {}, [&](Gps0Chunk& chunk) {
    const GSensor g = decode_gps0_gsensor(chunk);
    for (std::uint64_t k = kGps0SkippedRecords; gps0_record_fits(chunk, k); ++k)
      out.push_back(gps0_sample(decode_gps0_record(chunk.bytes, k * kGps0RecordSize, {}), g));
  });
  return out;
}

std::vector<RouteSample> route_samples(const std::vector<formats::Fix>& fixes) {
  std::vector<RouteSample> out;
  out.reserve(fixes.size());
  for (const formats::Fix& fix : fixes)
    out.push_back(fix_sample(fix));
  return out;
}

}  // namespace vek::track::route
