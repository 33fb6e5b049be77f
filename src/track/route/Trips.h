#pragma once
// Consecutive clips whose recorded times follow each other within a gap
// form one trip.

#include "track/route/RouteSample.h"

#include <string>
#include <vector>

namespace vek::track::route {

inline constexpr double kDefaultTripGapS = 120;

struct Trip {
  std::string name;  // the first clip's name
  std::vector<ClipSamples> clips;
};

// Groups the clips in the order given: a clip joins the trip before it when
// its first time lies no earlier than that trip's last clip's first time and
// no more than `gap_s` after its last time. A clip without any valid time
// starts a trip of its own. Route fixes are marked per trip.
std::vector<Trip> group_trips(std::vector<ClipSamples> clips, double gap_s = kDefaultTripGapS);

}  // namespace vek::track::route
