#include "track/route/Gpx.h"

#include "track/Format.h"
#include "track/route/RouteFormats.h"

#include <cmath>

#include "base/text/Xml.h"

namespace vek::track::route {
namespace {

constexpr double kKmhPerMPerS = 3.6;

void append_point(std::string& out, const route::RouteSample& s) {
  if (!(std::fabs(s.latitude) <= 90 && std::fabs(s.longitude) <= 180)) return;
  appendf(out, "<trkpt lat=\"%.7f\" lon=\"%.7f\">", s.latitude, s.longitude);
  if (s.utc) out += "<time>" + route::utc_text(*s.utc) + "</time>";
  appendf(out,
          "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>%.2f</gpxtpx:speed>"
          "</gpxtpx:TrackPointExtension></extensions></trkpt>\n",
          s.speed_kmh / kKmhPerMPerS);
}

}  // namespace

std::string gpx_track(const route::ClipSamples& clip) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"vek-track\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n<trk><name>";
  out += base::xml_escaped(clip.name);
  out += "</name><trkseg>\n";
  for (const route::RouteSample& s : clip.samples)
    append_point(out, s);
  out += "</trkseg></trk>\n</gpx>\n";
  return out;
}

}  // namespace vek::track::route
