#pragma once
// One position fix as any camera family decodes it, before validation and
// before it is written as a track. Every family reader produces these.

#include "track/Samples.h"

#include <optional>
#include <string>
#include <vector>

namespace vek::track::formats {

struct UtcTime {
  int year = 0;  // full year
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  double second = 0;  // with its fraction
};

struct Fix {
  UtcTime time;          // UTC, after the family's own time base is applied
  double latitude = 0;   // decimal degrees, south negative
  double longitude = 0;  // decimal degrees, west negative
  double speed_kmh = 0;
  std::optional<double> course;  // degrees clockwise from north, when the family has it
  bool valid = true;             // the camera's own fix flag (A/V, fix type)
  std::optional<GSensor> accel;  // in g, when the family carries it beside the fix
};

// What one family reader made of a clip.
struct Decoded {
  std::vector<Fix> fixes;
  std::vector<GSensor> accel;      // accelerometer samples not tied to a fix, in g
  std::vector<std::string> notes;  // which reading of an uncertain fact was taken, and why rows were dropped
};

}  // namespace vek::track::formats
