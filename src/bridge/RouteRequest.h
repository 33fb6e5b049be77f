#pragma once
// The route export command's argument: "FORMAT;GAP;CLIP,CLIP,...", the
// format gpx, kml or csv, the trip gap in seconds, and the clip paths as the
// page escapes them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::bridge {

// A page never lists more clips than a card holds.
constexpr std::size_t kMaxRouteClips = 10000;
constexpr double kMaxRouteGapSeconds = 86400;

struct RouteRequest {
  std::string format;
  double gap_seconds = 0;
  std::vector<std::string> clips;
};

// Empty when a field is missing or out of range, or no clip is named.
std::optional<RouteRequest> route_request(std::string_view text);

}  // namespace vek::bridge
