#include "track/formats/SrtTelemetry.h"

#include "base/text/Strings.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <cmath>
#include <numbers>

namespace vek::track::formats {

namespace {

constexpr double kEarthRadiusMetres = 6371008.8;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr std::size_t kProbeBytes = 4096;  // a signature check reads the first cues only
// Bounds the cues read from one sidecar (10 Hz for a day).
constexpr std::size_t kMaxCues = 864000;

struct Position {
  double latitude;
  double longitude;
};

// "YYYY?MM?DD hh:mm:ss[.mmm]" at `at`, with `separator` between the date parts.
std::optional<UtcTime> stamp_at(std::string_view text, std::size_t at, char separator) {
  const auto part = [&](std::size_t o, std::size_t n) { return fixed_digits(text, at + o, n); };
  if (text.size() < at + 19 || text[at + 4] != separator || text[at + 7] != separator || text[at + 10] != ' ' ||
      text[at + 13] != ':' || text[at + 16] != ':')
    return std::nullopt;
  const auto y = part(0, 4), mo = part(5, 2), d = part(8, 2), h = part(11, 2), mi = part(14, 2), s = part(17, 2);
  const auto millis = text.size() >= at + 23 && text[at + 19] == '.' ? part(20, 3) : std::optional<long long>(0);
  if (!y || !mo || !d || !h || !mi || !s || !millis) return std::nullopt;
  const UtcTime time{static_cast<int>(*y),  static_cast<int>(*mo),
                     static_cast<int>(*d),  static_cast<int>(*h),
                     static_cast<int>(*mi), static_cast<double>(*s) + static_cast<double>(*millis) / 1000.0};
  return is_valid_utc(time) ? std::optional<UtcTime>(time) : std::nullopt;
}

std::optional<UtcTime> find_stamp(std::string_view cue) {
  for (std::size_t at = 0; at + 19 <= cue.size(); ++at) {
    if (const auto t = stamp_at(cue, at, '.'); t) return t;
    if (const auto t = stamp_at(cue, at, '-'); t) return t;
  }
  return std::nullopt;
}

// "GPS(lon,lat,alt)" or "RTK (lon, lat, alt)": longitude first.
std::optional<Position> old_position(std::string_view cue) {
  for (const std::string_view tag : {"GPS(", "RTK ("}) {
    const std::size_t at = cue.find(tag);
    if (at == std::string_view::npos) continue;
    const std::size_t open = at + tag.size();
    const std::size_t close = cue.find(')', open);
    const auto fields = base::split(cue.substr(open, close == std::string_view::npos ? 0 : close - open), ',');
    if (fields.size() < 2) continue;
    const auto longitude = decimal(trimmed(fields[0]));
    const auto latitude = decimal(trimmed(fields[1]));
    if (latitude && longitude) return Position{*latitude, *longitude};
  }
  return std::nullopt;
}

std::optional<double> bracketed(std::string_view cue, std::string_view name) {
  const std::size_t at = cue.find(name);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t start = at + name.size();
  const std::size_t end = cue.find_first_of("] ", start);
  return decimal(cue.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::optional<Position> new_position(std::string_view cue) {
  const auto latitude = bracketed(cue, "[latitude: ");
  const auto longitude = bracketed(cue, "[longitude: ");
  if (!latitude || !longitude) return std::nullopt;
  return Position{*latitude, *longitude};
}

std::optional<Fix> cue_fix(std::string_view cue) {
  const auto time = find_stamp(cue);
  auto position = new_position(cue);
  if (!position) position = old_position(cue);
  if (!time || !position || std::abs(position->latitude) > 90 || std::abs(position->longitude) > 180)
    return std::nullopt;
  Fix fix;
  fix.time = *time;
  fix.latitude = position->latitude;
  fix.longitude = position->longitude;
  return fix;
}

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// Speed and course of each fix from the step that reaches it (the first takes the second's).
void derive_motion(std::vector<Fix>& fixes) {
  for (std::size_t i = 1; i < fixes.size(); ++i) {
    const Fix& a = fixes[i - 1];
    Fix& b = fixes[i];
    const double seconds = unix_from_utc(b.time).value_or(0) - unix_from_utc(a.time).value_or(0);
    const double dlat = radians(b.latitude - a.latitude);
    const double dlon = radians(b.longitude - a.longitude);
    const double h = std::pow(std::sin(dlat / 2), 2) +
                     std::cos(radians(a.latitude)) * std::cos(radians(b.latitude)) * std::pow(std::sin(dlon / 2), 2);
    const double metres = 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::min(1.0, h)));
    b.speed_kmh = seconds > 0 ? metres / seconds * kKmhPerMetrePerSecond : 0;
    const double y = std::sin(dlon) * std::cos(radians(b.latitude));
    const double x = std::cos(radians(a.latitude)) * std::sin(radians(b.latitude)) -
                     std::sin(radians(a.latitude)) * std::cos(radians(b.latitude)) * std::cos(dlon);
    if (metres > 0) b.course = std::fmod(std::atan2(y, x) * 180.0 / std::numbers::pi + 360.0, 360.0);
  }
  if (fixes.size() > 1) {
    fixes[0].speed_kmh = fixes[1].speed_kmh;
    fixes[0].course = fixes[1].course;
  }
}

}  // namespace

bool looks_like_srt_telemetry(std::string_view text) {
  return !decode_srt_telemetry(text.substr(0, kProbeBytes)).fixes.empty();
}

Decoded decode_srt_telemetry(std::string_view text) {
  Decoded decoded;
  std::size_t start = 0;
  for (std::size_t cues = 0; start < text.size() && cues < kMaxCues; ++cues) {
    std::size_t end = text.find("\n\n", start);
    const std::size_t crlf = text.find("\r\n\r\n", start);
    end = std::min(end, crlf);
    const std::string_view cue = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (cue.find(" --> ") != std::string_view::npos) {
      if (const auto fix = cue_fix(cue)) decoded.fixes.push_back(*fix);
    }
    start = end == std::string_view::npos ? text.size() : end + (end == crlf ? 4 : 2);
  }
  derive_motion(decoded.fixes);
  note_once(decoded,
            "cue times taken as UTC (the zone is not stated); speed and course derived from successive positions");
  return decoded;
}

std::vector<std::filesystem::path> srt_sidecars(const std::filesystem::path& clip) {
  return {std::filesystem::path(clip).replace_extension(".srt"), std::filesystem::path(clip).replace_extension(".SRT")};
}

}  // namespace vek::track::formats
