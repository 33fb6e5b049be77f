#include "media/gst/ZoneOffsets.h"

#include <glib.h>

#include <cmath>

namespace vek::media {

drive::ZoneOffset zone_offset_lookup() {
  return [](const std::string& zone, double utc) -> std::optional<double> {
    GTimeZone* named = g_time_zone_new_identifier(zone.c_str());
    if (named == nullptr) {
      return std::nullopt;
    }
    const gint interval = g_time_zone_find_interval(named, G_TIME_TYPE_UNIVERSAL, static_cast<gint64>(std::floor(utc)));
    const double offset = interval < 0 ? 0.0 : g_time_zone_get_offset(named, interval);
    g_time_zone_unref(named);
    return offset;
  };
}

}  // namespace vek::media
