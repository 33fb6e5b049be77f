#include "track/Gpx.h"

#include "track/Format.h"
#include "track/FreeGpsParser.h"
#include "track/Gps0Parser.h"
#include "track/Search.h"

#include <cmath>

#include "base/text/Xml.h"

namespace vek::track {
namespace {

constexpr double kCmPerSPerMPerS = 100;  // freeGPS speed unit
constexpr double kKmhPerMPerS = 3.6;     // gps0 speed unit

struct Point {
  double latitude;
  double longitude;
  int year, month, day, hour, minute;
  double seconds;
  double speed_m_s;
};

int days_in_month(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool valid_time(const Point& p) {
  constexpr int kLastYear = 9999;  // four-digit years only
  if (p.year < 1 || p.year > kLastYear || p.month < 1 || p.month > 12) return false;
  return p.day >= 1 && p.day <= days_in_month(p.year, p.month) && p.hour <= 23 && p.minute <= 59 && p.seconds >= 0 &&
         p.seconds < 60;
}

void append_point(std::string& out, const Point& p) {
  if (!(std::fabs(p.latitude) <= 90 && std::fabs(p.longitude) <= 180)) return;
  appendf(out, "<trkpt lat=\"%.7f\" lon=\"%.7f\">", p.latitude, p.longitude);
  if (valid_time(p))
    appendf(out, "<time>%04d-%02d-%02dT%02d:%02d:%04.1fZ</time>", p.year, p.month, p.day, p.hour, p.minute, p.seconds);
  appendf(out,
          "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>%.2f</gpxtpx:speed>"
          "</gpxtpx:TrackPointExtension></extensions></trkpt>\n",
          p.speed_m_s);
}

Point freegps_point(const FreeGpsBox& box, const FreeGpsSample& s) {
  return {
      s.latitude_e7 / 1e7, s.longitude_e7 / 1e7,           static_cast<int>(box.year),    box.month, box.day, box.hour,
      box.minute,          static_cast<double>(s.seconds), s.speed_cm_s / kCmPerSPerMPerS};
}

Point gps0_point(const Gps0Record& r) {
  return {r.latitude,
          r.longitude,
          r.year + kGps0YearBase,
          r.month,
          r.day,
          r.hour,
          r.minute,
          static_cast<double>(r.second),
          r.speed / kKmhPerMPerS};
}

void append_points(std::string& out, Bytes clip) {
  const std::uint64_t first = first_freegps_marker(clip);
  if (first != NSNotFound) {
    scan_freegps(clip, first, [&](const FreeGpsBox& box) {
      for (const FreeGpsSample& sample : box.samples)
        append_point(out, freegps_point(box, sample));
    });
    return;
  }
  for_each_gps0_chunk(clip, {}, [&](Gps0Chunk& chunk) {
    for (std::uint64_t k = kGps0SkippedRecords; gps0_record_fits(chunk, k); ++k)
      append_point(out, gps0_point(decode_gps0_record(chunk.bytes, k * kGps0RecordSize, {})));
  });
}

}  // namespace

std::string gpx_track(Bytes clip, std::string_view track_name) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"vek-track\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n<trk><name>";
  out += base::xml_escaped(track_name);
  out += "</name><trkseg>\n";
  append_points(out, clip);
  out += "</trkseg></trk>\n</gpx>\n";
  return out;
}

}  // namespace vek::track
