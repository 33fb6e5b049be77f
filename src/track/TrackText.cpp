#include "track/TrackText.h"

#include "track/Format.h"
#include "track/Position.h"

namespace vek::track {
namespace {

constexpr int kFreeGpsHourOffset = 1;  // the camera's display offset for freeGPS times
constexpr int kGps0HourOffset = 8;     // the camera's display offset for gps0 times
constexpr int kTenths = 10;            // a gps0 record stands under each tenth of its second
constexpr double kKmhPerCmPerS = 0.036;

void append_xyz(std::string& out, const GSensor& g) {
  out += "'x':\"";
  append_fixed(out, static_cast<double>(g.x), 2);
  out += "\",'y':\"";
  append_fixed(out, static_cast<double>(g.y), 2);
  out += "\",'z':\"";
  append_fixed(out, static_cast<double>(g.z), 2);
  out += '"';
}

// `data["fns"]["base.` — the part of a gps0 key that the ten statements share.
std::string gps0_key_prefix(std::string_view fns, const Gps0Record& record) {
  std::string prefix = "data[\"";
  prefix += fns;
  prefix += "\"][\"";
  prefix += gps0_time_base(record);
  prefix += '.';
  return prefix;
}

void append_speed_lat_lon(std::string& out, const Gps0Record& record) {
  out += "\"]={'speed':\"";
  append_zero_padded(out, record.speed, 1);
  out += "\",'lat':\"";
  append_fixed(out, record.latitude, 7);
  out += "\",'lon':\"";
  append_fixed(out, record.longitude, 7);
  out += "\",";
}

void append_tenths(std::string& out, const std::string& prefix, const std::string& object) {
  for (int t = 0; t < kTenths; ++t) {
    const char digit = static_cast<char>('0' + t);
    out += prefix;
    out += digit;
    out += "\"]=new Array();\n";
    out += prefix;
    out += digit;
    out += object;
  }
}

}  // namespace

void append_freegps_header(std::string& out, std::string_view fns) {
  out += "data['";
  out += fns;
  out += "']=new Array();";
}

void append_freegps_statements(std::string& out, std::string_view fns, const FreeGpsBox& box) {
  // `data["fns"]["yyyy/mm/dd hh:mm:` — what the box's keys share.
  std::string key = "data[\"";
  key += fns;
  key += "\"][\"";
  append_zero_padded(key, box.year, 1);
  key += '/';
  append_zero_padded(key, box.month, 2);
  key += '/';
  append_zero_padded(key, box.day, 2);
  key += ' ';
  append_zero_padded(key, box.hour + unsigned{kFreeGpsHourOffset}, 2);
  key += ':';
  append_zero_padded(key, box.minute, 2);
  key += ':';
  const std::size_t shared = key.size();
  std::string xyz;
  append_xyz(xyz, box.gsensor);
  for (const FreeGpsSample& s : box.samples) {
    key.resize(shared);
    append_fixed(key, static_cast<double>(s.seconds), 1);
    out += key;
    out += "\"]=new Array();";
    out += key;
    out += "\"]={'speed':\"";
    append_fixed(out, s.speed_cm_s * kKmhPerCmPerS, 6);
    out += "\",'degrees':\"";
    append_fixed(out, static_cast<double>(s.degrees), 2);
    out += "\",'lat':\"";
    append_fixed(out, static_cast<double>(static_cast<float>(s.latitude_e7) / 1e7F), 7);
    out += "\",'lon':\"";
    append_fixed(out, static_cast<double>(static_cast<float>(s.longitude_e7) / 1e7F), 7);
    out += "\",";
    out += xyz;
    out += ",'lbs':\"";
    append_position(out, s.latitude_e7 / 1e7, s.longitude_e7 / 1e7);
    out += "\",'stat':\"";
    append_zero_padded(out, s.status, 1);
    out += "\"};\n";
  }
}

void append_gps0_header(std::string& out, std::string_view fns) {
  out += "//C12\ndata['";
  out += fns;
  out += "']=new Array();\n";
}

std::string gps0_time_base(const Gps0Record& r) {
  std::string base;
  appendf(base, "%d/%02d/%02d %02d:", r.year + kGps0YearBase, r.month, r.day, r.hour + kGps0HourOffset);
  appendf(base, "%02d:%02d", r.minute, r.second);
  return base;
}

void append_gps0_statements(std::string& out, std::string_view fns, const Gps0Record& record, const GSensor& gsensor) {
  std::string object;
  append_speed_lat_lon(object, record);
  append_xyz(object, gsensor);
  object += ",'lbs':\"";
  append_position(object, record.latitude, record.longitude);
  object += "\",'stat':\"2\",'degrees':\"0\"};\n";
  append_tenths(out, gps0_key_prefix(fns, record), object);
}

void append_close_statements(std::string& out, std::string_view fns, const Gps0Record& record,
                             const std::optional<GSensor>& gsensor) {
  std::string object;
  append_speed_lat_lon(object, record);
  object += "'lbs':\"";
  append_position(object, record.latitude, record.longitude);
  object += "\",'stat':\"2\",'degrees':\"0\",";
  if (gsensor) append_xyz(object, *gsensor);
  object += "};\n";
  append_tenths(out, gps0_key_prefix(fns, record), object);
}

}  // namespace vek::track
