// The slash-dated freeGPS line: "YYYY/MM/DD hh:mm:ss N:dd.dddddd W:ddd.dddddd
// <v> km/h x:.. y:.. z:.. A:<course> H:..", coordinates in degrees.

#include "track/formats/FreeGpsSlashText.h"

#include "base/text/Strings.h"
#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <cmath>
#include <string_view>

namespace vek::track::formats {

namespace {

std::optional<UtcTime> slash_time(std::string_view date, std::string_view clock) {
  const auto y = fixed_digits(date, 0, 4);
  const auto mo = fixed_digits(date, 5, 2);
  const auto d = fixed_digits(date, 8, 2);
  const auto h = fixed_digits(clock, 0, 2);
  const auto mi = fixed_digits(clock, 3, 2);
  const auto s = fixed_digits(clock, 6, 2);
  if (date.size() != 10 || clock.size() != 8 || !y || !mo || !d || !h || !mi || !s) return std::nullopt;
  const UtcTime time{static_cast<int>(*y), static_cast<int>(*mo), static_cast<int>(*d),
                     static_cast<int>(*h), static_cast<int>(*mi), static_cast<double>(*s)};
  return is_valid_utc(time) ? std::optional<UtcTime>(time) : std::nullopt;
}

// "N:25.033964" as signed degrees.
std::optional<double> lettered_degrees(std::string_view field, char positive, char negative, double max_degrees) {
  if (field.size() < 3 || field[1] != ':' || (field[0] != positive && field[0] != negative)) return std::nullopt;
  const auto value = decimal(field.substr(2));
  if (!value || *value < 0 || *value > max_degrees) return std::nullopt;
  return field[0] == negative ? -*value : *value;
}

std::optional<double> tagged(const std::vector<std::string_view>& words, std::string_view tag) {
  for (const auto word : words) {
    if (word.substr(0, tag.size()) == tag) return decimal(word.substr(tag.size()));
  }
  return std::nullopt;
}

}  // namespace

Decoded decode_slash_date_text(std::string_view line) {
  Decoded decoded;
  const auto pieces = base::split(trimmed(line), ' ');
  std::vector<std::string_view> words;
  for (const auto& word : pieces) {
    if (!word.empty()) words.push_back(word);
  }
  if (words.size() < 6 || words[5] != "km/h") return decoded;
  const auto time = slash_time(words[0], words[1]);
  const auto latitude = lettered_degrees(words[2], 'N', 'S', 90.0);
  const auto longitude = lettered_degrees(words[3], 'E', 'W', 180.0);
  const auto speed = decimal(words[4]);
  if (!time || !latitude || !longitude || !speed || *speed < 0) return decoded;
  Fix fix;
  fix.time = *time;
  fix.latitude = *latitude;
  fix.longitude = *longitude;
  fix.speed_kmh = *speed * kKmhPerKnot;
  if (const auto course = tagged(words, "A:"); course && *course >= 0 && *course <= 360) fix.course = *course;
  decoded.fixes.push_back(fix);
  note_once(decoded, "slash-dated speed read as knots despite its km/h label; its time taken as UTC");
  return decoded;
}

}  // namespace vek::track::formats
