#include "track/route/RouteFormats.h"

#include "track/Format.h"

#include "base/text/Xml.h"

namespace vek::track::route {
namespace {

template <typename Each>
void for_route(const Trip& trip, Each each) {
  for (const ClipSamples& clip : trip.clips)
    for (const RouteSample& s : clip.samples)
      if (s.on_route) each(s);
}

// gx:Track lists every time first, then every coordinate in the same order.
void append_track(std::string& out, const Trip& trip) {
  out += "<Placemark><name>";
  out += base::xml_escaped(trip.name);
  out += "</name><gx:Track>\n";
  for_route(trip, [&](const RouteSample& s) { (out += "<when>") += utc_text(*s.utc) += "</when>\n"; });
  for_route(trip,
            [&](const RouteSample& s) { appendf(out, "<gx:coord>%.7f %.7f 0</gx:coord>\n", s.longitude, s.latitude); });
  out += "</gx:Track></Placemark>\n";
}

}  // namespace

std::string kml_text(const std::vector<Trip>& trips) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
      "<Document><name>vek</name>\n";
  for (const Trip& trip : trips)
    append_track(out, trip);
  out += "</Document>\n</kml>\n";
  return out;
}

}  // namespace vek::track::route
