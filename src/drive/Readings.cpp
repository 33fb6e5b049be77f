#include "drive/Readings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>
#include <regex>

namespace vek::drive {
namespace {

constexpr double kKmPerMile = 1.609344;
constexpr const char* kNoValue = "\u2013";  // en dash, as the page shows a missing reading
constexpr std::size_t kNumberCapacity = 64;

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string fixed(double value, int decimals) {
  std::array<char, kNumberCapacity> out{};
  std::snprintf(out.data(), out.size(), "%.*f", decimals, value);
  return out.data();
}

std::string dms(std::string_view degrees, std::string_view minutes, std::string_view seconds) {
  return std::string(degrees) + "\u00b0" + std::string(minutes) + "'" + std::string(seconds) + "\"";
}

std::string dms_from_decimal(double value) {
  const double whole = std::fabs(value);
  const double degrees = std::floor(whole);
  const double minutes = (whole - degrees) * 60;
  const double minute = std::floor(minutes);
  return dms(fixed(degrees, 0), fixed(minute, 0), fixed((minutes - minute) * 60, 2));
}

// One half of a label, "25[ 2' 2.27:", as the page reads it.
std::optional<std::string> half(const std::string& text, double value, const char* pos, const char* neg) {
  static const std::regex kHalf(R"(^\s*(-?\d+)\[\s*(\d+)'\s*(\d+(?:\.\d+)?):\s*$)");
  std::smatch m;
  std::string body;
  bool negative = false;
  if (std::regex_match(text, m, kHalf)) {
    const std::string degrees = m[1].str();
    body = dms(degrees[0] == '-' ? degrees.substr(1) : degrees, std::to_string(std::stol(m[2].str())), m[3].str());
    negative = std::isfinite(value) ? value < 0 : degrees[0] == '-';
  } else if (std::isfinite(value)) {
    body = dms_from_decimal(value);
    negative = value < 0;
  } else {
    return std::nullopt;
  }
  return body + " " + (negative ? neg : pos);
}

}  // namespace

SpeedUnit speed_unit_from_setting(std::string_view field) {
  const std::string unit = lower(trimmed(field));
  return unit == "mi" || unit == "mile" || unit == "mph" ? SpeedUnit::Mph : SpeedUnit::Kmh;
}

std::string speed_text(double kmh, SpeedUnit unit) {
  if (!std::isfinite(kmh)) {
    return kNoValue;
  }
  const double value = unit == SpeedUnit::Mph ? kmh / kKmPerMile : kmh;
  return fixed(std::floor(value + 0.5) + 0.0, 0);
}

std::string speed_unit_text(SpeedUnit unit) {
  return unit == SpeedUnit::Mph ? "mph" : "km/h";
}

std::string position_text(std::string_view label, double lat, double lon) {
  const std::string text(label);
  const std::size_t comma = text.find(',');
  const std::string first = text.substr(0, comma);
  const std::string second =
      comma == std::string::npos ? std::string() : text.substr(comma + 1, text.find(',', comma + 1) - comma - 1);
  const auto a = half(first, lat, "N", "S");
  const auto b = half(second, lon, "E", "W");
  return a && b ? *a + "  " + *b : std::string();
}

std::string decimal_position_text(double lat, double lon) {
  if (!std::isfinite(lat) || !std::isfinite(lon)) {
    return std::string();
  }
  return fixed(lat, 6) + ", " + fixed(lon, 6);
}

std::string axis_text(double value) {
  if (!std::isfinite(value)) {
    return kNoValue;
  }
  return (value >= 0 ? "+" : "\u2212") + fixed(std::fabs(value), 2);
}

}  // namespace vek::drive
