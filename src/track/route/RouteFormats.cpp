#include "track/route/RouteFormats.h"

#include "track/Format.h"

#include <chrono>
#include <cmath>

namespace vek::track::route {

std::optional<RouteFormat> route_format(std::string_view name) {
  if (name == "gpx") return RouteFormat::gpx;
  if (name == "kml") return RouteFormat::kml;
  if (name == "csv") return RouteFormat::csv;
  return std::nullopt;
}

std::string_view file_extension(RouteFormat format) {
  switch (format) {
    case RouteFormat::gpx:
      return "gpx";
    case RouteFormat::kml:
      return "kml";
    case RouteFormat::csv:
      return "csv";
  }
  return "txt";
}

std::string route_text(const std::vector<Trip>& trips, RouteFormat format) {
  switch (format) {
    case RouteFormat::gpx:
      return gpx_text(trips);
    case RouteFormat::kml:
      return kml_text(trips);
    case RouteFormat::csv:
      return csv_text(trips);
  }
  return {};
}

std::string utc_text(double utc) {
  using namespace std::chrono;
  constexpr long long kTenthsPerDay = 864000;
  const long long tenths = std::llround(utc * 10);
  const long long day = tenths >= 0 ? tenths / kTenthsPerDay : (tenths - kTenthsPerDay + 1) / kTenthsPerDay;
  const long long in_day = tenths - day * kTenthsPerDay;
  const year_month_day date{sys_days{days{day}}};
  return formatted("%04d-%02u-%02uT%02lld:%02lld:%02lld.%lldZ", static_cast<int>(date.year()),
                   static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), in_day / 36000,
                   in_day / 600 % 60, in_day / 10 % 60, in_day % 10);
}

}  // namespace vek::track::route
