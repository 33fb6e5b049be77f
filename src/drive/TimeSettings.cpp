#include "drive/TimeSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/text/FloatValue.h"

namespace vek::drive {
namespace {

constexpr double kLargestZoneOffset = 14 * 3600.0;  // UTC+14 is the furthest any zone goes
constexpr double kHalfDay = 43200.0;                // no zone changes its offset twice within a day
constexpr double kSameMoment = 1e-3;
enum SettingField { kUnit = 0, kLanguage = 1, kCameraZone = 2, kDisplayZone = 3, kCorrection = 4 };

std::vector<std::string_view> fields_of(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) {
      return fields;
    }
    start = comma + 1;
  }
}

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  return first == std::string_view::npos ? std::string_view()
                                         : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<int> parse_int(std::string_view text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// Held to the hour either way and rounded to tenths (halves up), as the page does.
double correction_of(std::string_view field) {
  const double value = base::float_value(field);
  if (std::isnan(value)) {
    return 0;
  }
  return std::floor(std::clamp(value, -kMaxClockCorrection, kMaxClockCorrection) * 10 + 0.5) / 10;
}

// An offset written out, else a name the zone database knows; nullopt for an
// empty field or an unknown name.
std::optional<double> zone_offset(const std::string& zone, double utc, const ZoneOffset& zones) {
  if (zone.empty()) {
    return std::nullopt;
  }
  if (const std::optional<double> fixed = parse_utc_offset(zone)) {
    return fixed;
  }
  return zones ? zones(zone, std::floor(utc)) : std::nullopt;
}

// The moment whose wall time in `zone` is `wall` (wall fields read as UTC).
// In the hour repeated when clocks go back, the first of the two moments; in
// the hour skipped when they go forward, the offset from before the change.
std::optional<double> from_wall(const std::string& zone, double wall, const ZoneOffset& zones) {
  const std::optional<double> early = zone_offset(zone, wall - kHalfDay, zones);
  const std::optional<double> late = zone_offset(zone, wall + kHalfDay, zones);
  if (!early || !late) {
    return std::nullopt;
  }
  const double before = wall - *early;
  const double after = wall - *late;
  const auto fits = [&](double utc) {
    const std::optional<double> offset = zone_offset(zone, utc, zones);
    return offset && std::fabs(utc + *offset - wall) < kSameMoment;
  };
  const double first = std::min(before, after);
  const double last = std::max(before, after);
  if (fits(first)) {
    return first;
  }
  return fits(last) ? last : before;
}

}  // namespace

std::optional<double> parse_utc_offset(std::string_view text) {
  text = trim(text);
  if (text.empty()) {
    return std::nullopt;
  }
  if (text.starts_with("UTC") || text.starts_with("GMT")) {
    text.remove_prefix(3);
  }
  if (text.empty() || text == "Z") {  // "UTC" or "GMT" alone
    return 0.0;
  }
  if (text[0] != '+' && text[0] != '-') {
    return std::nullopt;
  }
  const double sign = text[0] == '-' ? -1 : 1;
  text.remove_prefix(1);
  const std::size_t colon = text.find(':');
  const auto hours = parse_int(text.substr(0, colon));
  const auto minutes = colon == std::string_view::npos ? std::optional<int>(0) : parse_int(text.substr(colon + 1));
  if (!hours || !minutes || *hours < 0 || *minutes < 0 || *minutes >= 60) {
    return std::nullopt;
  }
  const double seconds = *hours * 3600.0 + *minutes * 60.0;
  return seconds <= kLargestZoneOffset ? std::optional<double>(sign * seconds) : std::nullopt;
}

TimeSettings read_time_settings(std::string_view ini_text) {
  const std::vector<std::string_view> fields = fields_of(trim(ini_text));
  TimeSettings settings;
  settings.unit = speed_unit_from_setting(fields[kUnit]);
  if (fields.size() > kCameraZone) {
    settings.camera_zone = std::string(trim(fields[kCameraZone]));
  }
  if (fields.size() > kDisplayZone) {
    settings.display_zone = std::string(trim(fields[kDisplayZone]));
  }
  if (fields.size() > kCorrection) {
    settings.correction = correction_of(fields[kCorrection]);
  }
  return settings;
}

double key_to_utc(double key_time, double key_offset, const TimeSettings& settings, const ZoneOffset& zones) {
  const std::optional<double> camera = from_wall(settings.camera_zone, key_time, zones);
  return camera.value_or(key_time - key_offset) + settings.correction;
}

double displayed_time(double utc, const TimeSettings& settings, const ZoneOffset& zones) {
  std::optional<double> offset = zone_offset(settings.display_zone, utc, zones);
  if (!offset && zones) {
    offset = zones("", std::floor(utc));
  }
  return utc + offset.value_or(0.0);
}

}  // namespace vek::drive
