#include "track/route/RouteFixes.h"
#include "track/route/RouteFormats.h"

#include "track/Format.h"
#include "track/Position.h"

namespace vek::track::route {
namespace {

// RFC 4180: a field holding a comma, quote or line break is quoted, its quotes doubled.
void append_field(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text)
    out += c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1);
  out += '"';
}

std::string status_text(char status) {
  const bool letter = status >= 'A' && status <= 'Z';
  return letter ? std::string(1, status) : status ? std::to_string(static_cast<unsigned char>(status)) : "";
}

void append_row(std::string& out, std::size_t trip, const std::string& clip, const RouteSample& s) {
  out += std::to_string(trip) + ',';
  append_field(out, clip);
  out += ',';
  out += s.utc ? utc_text(*s.utc) : "";
  appendf(out, ",%.7f,%.7f,%.3f,%.2f,", s.latitude, s.longitude, s.speed_kmh, s.degrees);
  out += status_text(s.status);
  appendf(out, ",%d,%d,%.3f,%.3f,%.3f,", is_fix(s) ? 1 : 0, s.on_route ? 1 : 0, s.gx, s.gy, s.gz);
  append_field(out, nicePosition(s.latitude, s.longitude));
  out += "\r\n";
}

}  // namespace

std::string csv_text(const std::vector<Trip>& trips) {
  std::string out =
      "trip,clip,time_utc,latitude,longitude,speed_kmh,degrees,status,fix,on_route,g_x,g_y,g_z,"
      "position\r\n";
  for (std::size_t t = 0; t < trips.size(); ++t)
    for (const ClipSamples& clip : trips[t].clips)
      for (const RouteSample& s : clip.samples)
        append_row(out, t + 1, clip.name, s);
  return out;
}

}  // namespace vek::track::route
