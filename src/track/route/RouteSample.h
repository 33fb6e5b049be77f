#pragma once
// One decoded sample of a clip as the route formats need it: UTC time,
// position, speed, G-sensor values and whether it is a usable fix.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <optional>
#include <string>
#include <vector>

namespace vek::track::route {

struct RouteSample {
  // Seconds since 1970 in UTC; empty when the camera wrote no valid date.
  std::optional<double> utc;
  double latitude = 0;
  double longitude = 0;
  double speed_kmh = 0;
  double degrees = 0;
  double gx = 0;
  double gy = 0;
  double gz = 0;
  // freeGPS status letter ('A' fix, 'V' none); gps0 records carry none.
  char status = 0;
  // Kept on the route, in distances and speeds; set by mark_route_fixes.
  bool on_route = false;
};

struct ClipSamples {
  std::string name;
  std::vector<RouteSample> samples;
};

// Every sample of the clip, in file order: ten per freeGPS box, one per
// written gps0 record (as the track file writes them).
std::vector<RouteSample> route_samples(Bytes clip);

// One sample per fix of another camera family's reader, as its freeGPS-form track writes them.
std::vector<RouteSample> route_samples(const std::vector<formats::Fix>& fixes);

// Seconds since 1970 of a UTC date and time, or empty when it is not a date.
std::optional<double> utc_seconds(int year, int month, int day, int hour, int minute, double seconds);

}  // namespace vek::track::route
