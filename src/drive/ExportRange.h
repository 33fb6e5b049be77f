#pragma once
// Which stretch of each picked clip an export takes: whole clips end to end,
// or the range between an in point and an out point that may lie in different
// clips of the selection.

#include <cstddef>
#include <optional>
#include <vector>

namespace vek::drive {

// A point in the selection: a clip of it and seconds into that clip.
struct ClipPoint {
  std::size_t clip = 0;
  double time = 0;
};

struct Segment {
  std::size_t clip = 0;  // index into the selection
  double inpoint = 0;    // seconds into the clip
  double duration = 0;   // seconds taken from there
  double offset = 0;     // where the segment starts in the export, seconds
};

// The segments for clips of `durations` (seconds) between `in` (default: the
// start) and `out` (default: the end); an out point before the in point gives
// nothing. Points past a clip's end are held to it; clips of no length are left out.
std::vector<Segment> export_segments(const std::vector<double>& durations, std::optional<ClipPoint> in,
                                     std::optional<ClipPoint> out);

double total_duration(const std::vector<Segment>& segments);

// The clip and the clip's own time shown at `export_time` seconds of the export.
std::optional<ClipPoint> clip_point_at(const std::vector<Segment>& segments, double export_time);

}  // namespace vek::drive
