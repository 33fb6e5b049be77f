#pragma once
// A list of trips as text in an open route format. Pure: samples in, text
// out. Times are UTC. GPX and KML hold only the samples on the route (see
// RouteFixes.h); CSV holds every sample with its fix and route flags.

#include "track/route/Trips.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::track::route {

enum class RouteFormat { gpx, kml, csv };

std::optional<RouteFormat> route_format(std::string_view name);
std::string_view file_extension(RouteFormat format);

// GPX 1.1: one track per trip; speed (m/s) and course in Garmin's
// TrackPointExtension, the G-sensor values in a vek:g element.
std::string gpx_text(const std::vector<Trip>& trips);
// KML 2.2: one placemark per trip holding a time-stamped gx:Track line.
std::string kml_text(const std::vector<Trip>& trips);
// CSV (RFC 4180): a header row, then one row per sample.
std::string csv_text(const std::vector<Trip>& trips);

std::string route_text(const std::vector<Trip>& trips, RouteFormat format);

// "2016-03-01T09:05:07.5Z": tenths of a second, never a 60th second.
std::string utc_text(double utc);

}  // namespace vek::track::route
