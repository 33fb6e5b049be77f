#include "base/glib/TimeZones.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vek::base {
namespace {

struct TimeZoneUnref {
  void operator()(GTimeZone* zone) const noexcept { g_time_zone_unref(zone); }
};

// "Europe/Berlin", "America/Argentina/Buenos_Aires", "Etc/GMT+8", "UTC": GLib
// would also read a file named by an absolute or climbing path.
bool is_zone_name(const std::string& name) {
  const bool plain_characters = std::all_of(name.begin(), name.end(), [](char c) {
    return g_ascii_isalnum(c) || c == '/' || c == '_' || c == '-' || c == '+';
  });
  return plain_characters && !name.starts_with('/') && name.find("..") == std::string::npos;
}

}  // namespace

std::optional<double> zone_offset_at(const std::string& name, double utc) {
  if (!std::isfinite(utc) || (!name.empty() && !is_zone_name(name))) {
    return std::nullopt;
  }
  const std::unique_ptr<GTimeZone, TimeZoneUnref> zone(name.empty() ? g_time_zone_new_local()
                                                                    : g_time_zone_new_identifier(name.c_str()));
  if (zone == nullptr) {
    return std::nullopt;
  }
  const gint interval =
      g_time_zone_find_interval(zone.get(), G_TIME_TYPE_UNIVERSAL, static_cast<gint64>(std::floor(utc)));
  return interval < 0 ? std::nullopt : std::optional<double>(g_time_zone_get_offset(zone.get(), interval));
}

}  // namespace vek::base
