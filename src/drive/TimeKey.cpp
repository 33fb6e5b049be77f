#include "drive/TimeKey.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vek::drive {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::size_t kLongestTimeText = 128;  // room for any 64-bit fields

// Reads 1 to `max_digits` digits at `at`; advances `at`.
std::optional<int> read_digits(std::string_view text, std::size_t& at, std::size_t max_digits) {
  const std::size_t begin = at;
  while (at < text.size() && at - begin < max_digits && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
    ++at;
  }
  int value = 0;
  if (at == begin || std::from_chars(text.data() + begin, text.data() + at, value).ec != std::errc()) {
    return std::nullopt;
  }
  return value;
}

bool expect(std::string_view text, std::size_t& at, char c) {
  if (at < text.size() && text[at] == c) {
    ++at;
    return true;
  }
  return false;
}

std::size_t skip_blanks(std::string_view text, std::size_t at) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
    ++at;
  }
  return at;
}

// Days from 1970-01-01 to the proleptic Gregorian date; month and day may be
// out of range and roll over as Date.UTC does.
double days_from_civil(int year, int month, int day) {
  const int month_index = month - 1;
  const int years_carried = month_index >= 0 ? month_index / 12 : -((11 - month_index) / 12);
  long long y = static_cast<long long>(year) + years_carried;
  const long long m = month_index - years_carried * 12 + 1;
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long year_of_era = y - era * 400;
  const long long day_of_year = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;
  const long long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return static_cast<double>(era * 146097 + day_of_era - 719468 + day - 1);
}

// "12" or "7.5": whole seconds of one or two digits, optional fraction.
std::optional<double> read_seconds(std::string_view text, std::size_t& at) {
  const std::size_t begin = at;
  if (!read_digits(text, at, 2)) {
    return std::nullopt;
  }
  if (expect(text, at, '.')) {
    const std::size_t fraction = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
      ++at;
    }
    if (at == fraction) {
      return std::nullopt;
    }
  }
  double value = 0;
  std::from_chars(text.data() + begin, text.data() + at, value);
  return value;
}

}  // namespace

std::optional<double> parse_time_key(std::string_view key) {
  std::size_t at = skip_blanks(key, 0);
  const auto year = read_digits(key, at, 4);
  const auto month = expect(key, at, '/') ? read_digits(key, at, 2) : std::nullopt;
  const auto day = expect(key, at, '/') ? read_digits(key, at, 2) : std::nullopt;
  const std::size_t after_date = at;
  at = skip_blanks(key, at);
  if (!year || !month || !day || at == after_date) {
    return std::nullopt;
  }
  const auto hour = read_digits(key, at, 2);
  const auto minute = expect(key, at, ':') ? read_digits(key, at, 2) : std::nullopt;
  const auto second = expect(key, at, ':') ? read_seconds(key, at) : std::nullopt;
  if (!hour || !minute || !second || skip_blanks(key, at) != key.size()) {
    return std::nullopt;
  }
  return days_from_civil(*year, *month, *day) * kSecondsPerDay + *hour * 3600.0 + *minute * 60.0 + *second;
}

std::string format_date_time(double seconds) {
  const double whole = std::floor(seconds);
  const double days = std::floor(whole / kSecondsPerDay);
  const auto in_day = static_cast<long long>(whole - days * kSecondsPerDay);
  // civil_from_days
  const long long z = static_cast<long long>(days) + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long day_of_era = z - era * 146097;
  const long long year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long long mp = (5 * day_of_year + 2) / 153;
  const long long day = day_of_year - (153 * mp + 2) / 5 + 1;
  const long long month = mp < 10 ? mp + 3 : mp - 9;
  const long long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  std::array<char, kLongestTimeText> out{};
  std::snprintf(out.data(), out.size(), "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", year, month, day, in_day / 3600,
                in_day / 60 % 60, in_day % 60);
  return out.data();
}

}  // namespace vek::drive
