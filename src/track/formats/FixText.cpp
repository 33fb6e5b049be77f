#include "track/formats/FixText.h"

#include "base/text/JsLiteral.h"
#include "track/Format.h"
#include "track/Position.h"

namespace vek::track::formats {
namespace {

using base::js_string_content;

constexpr int kShownHourOffset = 1;  // the freeGPS form shows times one hour on, unwrapped
constexpr int kStatusValid = 'A';    // the fix flag as the freeGPS form writes it

void append_statement(std::string& out, std::string_view key, const Fix& fix) {
  std::string lhs = "data[\"";
  lhs += key;
  lhs += "\"][\"";
  appendf(lhs, "%d/%02d/%02d %02d:%02d:%.1f", fix.time.year, fix.time.month, fix.time.day,
          fix.time.hour + kShownHourOffset, fix.time.minute, fix.time.second);
  lhs += "\"]";
  out += lhs;
  out += "=new Array();";
  out += lhs;
  const GSensor g = fix.accel.value_or(GSensor{});
  appendf(out, "={'speed':\"%f\",'degrees':\"%.2f\",'lat':\"%.7f\",'lon':\"%.7f\",", fix.speed_kmh,
          fix.course.value_or(0.0), fix.latitude, fix.longitude);
  appendf(out, "'x':\"%.2f\",'y':\"%.2f\",'z':\"%.2f\",'lbs':\"", static_cast<double>(g.x), static_cast<double>(g.y),
          static_cast<double>(g.z));
  append_position(out, fix.latitude, fix.longitude);
  appendf(out, "\",'stat':\"%d\"};\n", kStatusValid);
}

}  // namespace

std::string fixes_as_freegps_text(std::string_view fns, const std::vector<Fix>& fixes) {
  const std::string key = js_string_content(fns);
  std::string out = "data['";
  out += key;
  out += "']=new Array();";
  for (const Fix& fix : fixes)
    append_statement(out, key, fix);
  return out;
}

}  // namespace vek::track::formats
