#include "track/formats/UtcClock.h"

#include <chrono>
#include <cmath>

namespace vek::track::formats {

namespace {

constexpr double kSecondsPerDay = 86400.0;

double unix_of(int year, int month, int day) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                      std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<double>(date.time_since_epoch().count()) * kSecondsPerDay;
}

}  // namespace

bool is_valid_utc(const UtcTime& time) {
  if (time.year < kEarliestYear || time.year > kLatestYear || time.month < 1 || time.month > 12 || time.day < 1)
    return false;
  const std::chrono::year_month_day date{std::chrono::year{time.year} /
                                         std::chrono::month{static_cast<unsigned>(time.month)} /
                                         std::chrono::day{static_cast<unsigned>(time.day)}};
  // 60 admits a leap second as receivers print it.
  return date.ok() && time.hour >= 0 && time.hour < 24 && time.minute >= 0 && time.minute < 60 &&
         std::isfinite(time.second) && time.second >= 0 && time.second < 61;
}

std::optional<double> unix_from_utc(const UtcTime& time) {
  if (!is_valid_utc(time)) return std::nullopt;
  return unix_of(time.year, time.month, time.day) + time.hour * 3600.0 + time.minute * 60.0 + time.second;
}

std::optional<UtcTime> utc_from_unix(double seconds) {
  if (!std::isfinite(seconds) || seconds < unix_of(kEarliestYear, 1, 1) || seconds >= unix_of(kLatestYear + 1, 1, 1))
    return std::nullopt;
  using namespace std::chrono;
  const double whole_days = std::floor(seconds / kSecondsPerDay);
  const year_month_day date{sys_days{days{static_cast<long>(whole_days)}}};
  const double of_day = seconds - whole_days * kSecondsPerDay;
  const int hour = static_cast<int>(of_day / 3600.0);
  const int minute = static_cast<int>((of_day - hour * 3600.0) / 60.0);
  UtcTime time;
  time.year = static_cast<int>(date.year());
  time.month = static_cast<int>(static_cast<unsigned>(date.month()));
  time.day = static_cast<int>(static_cast<unsigned>(date.day()));
  time.hour = hour;
  time.minute = minute;
  time.second = of_day - hour * 3600.0 - minute * 60.0;
  return time;
}

}  // namespace vek::track::formats
