#include "track/formats/Nmea.h"

#include "base/text/Strings.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <cmath>

namespace vek::track::formats {

namespace {

constexpr std::size_t kRmcFields = 10;  // through the date field
constexpr int kTwoDigitYearPivot = 70;  // NMEA years below this are 20yy

std::optional<unsigned> hex_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return std::nullopt;
}

// The sentence body between the optional '$' and the '*', or nothing when a
// present checksum disagrees under the rule.
std::optional<std::string_view> checked_body(std::string_view sentence, Checksum rule) {
  if (!sentence.empty() && sentence.front() == '$') sentence.remove_prefix(1);
  const std::size_t star = sentence.find('*');
  if (star == std::string_view::npos) return sentence;
  const std::string_view body = sentence.substr(0, star);
  if (rule == Checksum::ignored) return body;
  const std::string_view given = sentence.substr(star + 1);
  if (given.size() < 2) return std::nullopt;
  const auto high = hex_digit(given[0]);
  const auto low = hex_digit(given[1]);
  unsigned sum = 0;
  for (const char c : body)
    sum ^= static_cast<unsigned char>(c);
  if (!high || !low || ((*high << 4U) | *low) != sum) return std::nullopt;
  return body;
}

bool is_rmc_tag(std::string_view tag) {
  return tag.size() == 5 && tag.substr(2) == "RMC" && tag[0] >= 'A' && tag[0] <= 'Z' && tag[1] >= 'A' && tag[1] <= 'Z';
}

}  // namespace

std::optional<double> ddmm_degrees(std::string_view value, char hemisphere, double max_degrees) {
  const auto number = decimal(value);
  if (!number || *number < 0) return std::nullopt;
  const double whole = std::floor(*number / 100.0);
  const double minutes = *number - whole * 100.0;
  const double degrees = whole + minutes / 60.0;
  if (minutes >= 60.0 || degrees > max_degrees) return std::nullopt;
  if (hemisphere == 'S' || hemisphere == 'W') return -degrees;
  if (hemisphere == 'N' || hemisphere == 'E') return degrees;
  return std::nullopt;
}

std::optional<UtcTime> ddmmyy_time(std::string_view date, std::string_view time) {
  const auto day = fixed_digits(date, 0, 2);
  const auto month = fixed_digits(date, 2, 2);
  const auto year = fixed_digits(date, 4, 2);
  const auto hour = fixed_digits(time, 0, 2);
  const auto minute = fixed_digits(time, 2, 2);
  const auto second = decimal(time.size() >= 4 ? time.substr(4) : std::string_view{});
  if (date.size() != 6 || !day || !month || !year || !hour || !minute || !second) return std::nullopt;
  const UtcTime utc{static_cast<int>(*year < kTwoDigitYearPivot ? 2000 + *year : 1900 + *year),
                    static_cast<int>(*month),
                    static_cast<int>(*day),
                    static_cast<int>(*hour),
                    static_cast<int>(*minute),
                    *second};
  if (!is_valid_utc(utc)) return std::nullopt;
  return utc;
}

std::optional<Fix> parse_rmc(std::string_view sentence, Checksum rule) {
  const auto body = checked_body(sentence, rule);
  if (!body || body->size() > kMaxSentenceLength) return std::nullopt;
  const auto fields = base::split(*body, ',');
  if (fields.size() < kRmcFields || !is_rmc_tag(fields[0]) || fields[2].size() != 1 || fields[4].size() != 1 ||
      fields[6].size() != 1)
    return std::nullopt;
  const auto time = ddmmyy_time(fields[9], fields[1]);
  const auto latitude = ddmm_degrees(fields[3], fields[4][0], 90.0);
  const auto longitude = ddmm_degrees(fields[5], fields[6][0], 180.0);
  const auto knots = fields[7].empty() ? std::optional<double>(0.0) : decimal(fields[7]);
  if (!time || !latitude || !longitude || !knots || *knots < 0 || (fields[2] != "A" && fields[2] != "V"))
    return std::nullopt;
  Fix fix;
  fix.time = *time;
  fix.latitude = *latitude;
  fix.longitude = *longitude;
  fix.speed_kmh = *knots * kKmhPerKnot;
  if (const auto course = decimal(fields[8]); course && *course >= 0 && *course <= 360) fix.course = *course;
  fix.valid = fields[2] == "A";
  return fix;
}

std::vector<std::string_view> find_rmc_sentences(std::string_view text) {
  std::vector<std::string_view> found;
  for (std::size_t at = text.find("RMC,"); at != std::string_view::npos && found.size() < kMaxSentences;
       at = text.find("RMC,", at + 1)) {
    if (at < 2 || !is_rmc_tag(text.substr(at - 2, 5))) continue;
    const std::size_t start = at >= 3 && text[at - 3] == '$' ? at - 3 : at - 2;
    const std::size_t end = text.find_first_of(std::string_view("\0\r\n;$~", 6), at);
    found.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
  }
  return found;
}

}  // namespace vek::track::formats
