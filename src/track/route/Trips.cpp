#include "track/route/Trips.h"

#include "track/route/RouteFixes.h"

#include <algorithm>
#include <optional>

namespace vek::track::route {
namespace {

struct Span {
  double first;
  double last;
};

std::optional<Span> time_span(const ClipSamples& clip) {
  std::optional<Span> span;
  for (const RouteSample& s : clip.samples) {
    if (!s.utc) continue;
    if (!span) span = Span{*s.utc, *s.utc};
    span->first = std::min(span->first, *s.utc);
    span->last = std::max(span->last, *s.utc);
  }
  return span;
}

bool follows(const std::optional<Span>& before, const std::optional<Span>& next, double gap_s) {
  return before && next && next->first >= before->first && next->first - before->last <= gap_s;
}

}  // namespace

std::vector<Trip> group_trips(std::vector<ClipSamples> clips, double gap_s) {
  std::vector<Trip> trips;
  std::optional<Span> previous;
  for (ClipSamples& clip : clips) {
    const std::optional<Span> span = time_span(clip);
    if (trips.empty() || !follows(previous, span, gap_s)) trips.push_back(Trip{clip.name, {}});
    trips.back().clips.push_back(std::move(clip));
    previous = span;
  }
  for (Trip& trip : trips)
    mark_route_fixes(trip.clips);
  return trips;
}

}  // namespace vek::track::route
