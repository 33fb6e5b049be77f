#include "drive/TimeSettings.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace vek::drive {
namespace {

constexpr double kLargestZoneOffset = 14 * 3600.0;  // UTC+14 is the furthest any zone goes
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

std::optional<double> parse_number(std::string_view text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> parse_int(std::string_view text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
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
    settings.camera_offset = parse_utc_offset(fields[kCameraZone]);
  }
  if (fields.size() > kDisplayZone) {
    settings.display_zone = std::string(trim(fields[kDisplayZone]));
  }
  if (fields.size() > kCorrection) {
    const auto correction = parse_number(trim(fields[kCorrection]));
    if (correction && std::fabs(*correction) <= kMaxClockCorrection) {
      settings.correction = *correction;
    }
  }
  return settings;
}

double displayed_time(double key_time, const TimeSettings& settings, const ZoneOffset& zone_offset) {
  const double corrected = key_time + settings.correction;
  if (!settings.camera_offset || settings.display_zone.empty()) {
    return corrected;
  }
  const double utc = corrected - *settings.camera_offset;
  std::optional<double> shown = parse_utc_offset(settings.display_zone);
  if (!shown && zone_offset) {
    shown = zone_offset(settings.display_zone, utc);
  }
  return shown ? utc + *shown : corrected;
}

}  // namespace vek::drive
