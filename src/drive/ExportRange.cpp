#include "drive/ExportRange.h"

#include <algorithm>
#include <cmath>

namespace vek::drive {
namespace {

// Position of a point as (clip, time) held inside the selection.
ClipPoint held(const std::vector<double>& durations, ClipPoint point) {
  if (point.clip >= durations.size()) {
    return {durations.size() - 1, durations.back()};
  }
  const double time = std::isfinite(point.time) ? point.time : 0.0;
  return {point.clip, std::clamp(time, 0.0, durations[point.clip])};
}

bool before(ClipPoint a, ClipPoint b) {
  return a.clip < b.clip || (a.clip == b.clip && a.time < b.time);
}

}  // namespace

std::vector<Segment> export_segments(const std::vector<double>& durations, std::optional<ClipPoint> in,
                                     std::optional<ClipPoint> out) {
  std::vector<Segment> segments;
  if (durations.empty()) {
    return segments;
  }
  const ClipPoint first = in ? held(durations, *in) : ClipPoint{0, 0};
  const ClipPoint last = out ? held(durations, *out) : ClipPoint{durations.size() - 1, durations.back()};
  if (before(last, first)) {
    return segments;
  }
  double offset = 0;
  for (std::size_t clip = first.clip; clip <= last.clip; ++clip) {
    const double begin = clip == first.clip ? first.time : 0.0;
    const double end = clip == last.clip ? last.time : durations[clip];
    if (end > begin) {
      segments.push_back({clip, begin, end - begin, offset});
      offset += end - begin;
    }
  }
  return segments;
}

double total_duration(const std::vector<Segment>& segments) {
  return segments.empty() ? 0.0 : segments.back().offset + segments.back().duration;
}

std::optional<ClipPoint> clip_point_at(const std::vector<Segment>& segments, double export_time) {
  if (segments.empty() || !(export_time >= 0)) {
    return std::nullopt;
  }
  // The last segment that starts at or before the time; past the end, the last frame's clip.
  auto after = std::upper_bound(segments.begin(), segments.end(), export_time,
                                [](double time, const Segment& segment) { return time < segment.offset; });
  const Segment& segment = *std::prev(after);
  const double into = std::min(export_time - segment.offset, segment.duration);
  return ClipPoint{segment.clip, segment.inpoint + into};
}

}  // namespace vek::drive
