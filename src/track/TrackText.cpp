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
  appendf(out, "'x':\"%.2f\",'y':\"%.2f\",'z':\"%.2f\"", static_cast<double>(g.x), static_cast<double>(g.y),
          static_cast<double>(g.z));
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
  appendf(out, "\"]={'speed':\"%d\",'lat':\"%.7f\",'lon':\"%.7f\",", record.speed, record.latitude, record.longitude);
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
  std::string key_start = "data[\"";
  key_start += fns;
  key_start += "\"][\"";
  appendf(key_start, "%d/%02d/%02d %02d:", static_cast<int>(box.year), box.month, box.day,
          box.hour + kFreeGpsHourOffset);
  std::string xyz;
  append_xyz(xyz, box.gsensor);
  for (const FreeGpsSample& s : box.samples) {
    std::string key = key_start;
    appendf(key, "%02d:%.1f", box.minute, static_cast<double>(s.seconds));
    out += key;
    out += "\"]=new Array();";
    out += key;
    appendf(out, "\"]={'speed':\"%f\",'degrees':\"%.2f\",'lat':\"%.7f\",'lon':\"%.7f\",", s.speed_cm_s * kKmhPerCmPerS,
            static_cast<double>(s.degrees), static_cast<double>(static_cast<float>(s.latitude_e7) / 1e7F),
            static_cast<double>(static_cast<float>(s.longitude_e7) / 1e7F));
    out += xyz;
    out += ",'lbs':\"";
    append_position(out, s.latitude_e7 / 1e7, s.longitude_e7 / 1e7);
    out += "\",'stat':\"";
    out += std::to_string(s.status);
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
