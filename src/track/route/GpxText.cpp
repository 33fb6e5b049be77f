#include "track/route/RouteFormats.h"

#include "track/Format.h"

#include "base/text/Xml.h"

namespace vek::track::route {
namespace {

constexpr double kKmhPerMPerS = 3.6;

void append_point(std::string& out, const RouteSample& s) {
  appendf(out, "<trkpt lat=\"%.7f\" lon=\"%.7f\"><time>", s.latitude, s.longitude);
  out += utc_text(*s.utc);
  appendf(out,
          "</time><extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>%.2f</gpxtpx:speed>"
          "<gpxtpx:course>%.2f</gpxtpx:course></gpxtpx:TrackPointExtension>"
          "<vek:g x=\"%.3f\" y=\"%.3f\" z=\"%.3f\"/></extensions></trkpt>\n",
          s.speed_kmh / kKmhPerMPerS, s.degrees, s.gx, s.gy, s.gz);
}

void append_track(std::string& out, const Trip& trip) {
  out += "<trk><name>";
  out += base::xml_escaped(trip.name);
  out += "</name><trkseg>\n";
  for (const ClipSamples& clip : trip.clips)
    for (const RouteSample& s : clip.samples)
      if (s.on_route) append_point(out, s);
  out += "</trkseg></trk>\n";
}

}  // namespace

std::string gpx_text(const std::vector<Trip>& trips) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"vek\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\" "
      "xmlns:vek=\"urn:vek:gsensor:1\">\n";
  for (const Trip& trip : trips)
    append_track(out, trip);
  out += "</gpx>\n";
  return out;
}

}  // namespace vek::track::route
