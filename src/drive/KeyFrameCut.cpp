#include "drive/KeyFrameCut.h"

#include <algorithm>

namespace vek::drive {
namespace {

// Far under a frame: an in point on a key frame's time keeps that key frame.
constexpr double kSameFrame = 1e-4;

// With no key frame at or before, the first one: frames ahead of it cannot be decoded.
double key_at_or_before(const std::vector<double>& keys, double time) {
  const auto after = std::upper_bound(keys.begin(), keys.end(), time + kSameFrame);
  return after == keys.begin() ? keys.front() : *std::prev(after);
}

double key_at_or_after(const std::vector<double>& keys, double time, double clip_end) {
  const auto at = std::lower_bound(keys.begin(), keys.end(), time - kSameFrame);
  return at == keys.end() ? clip_end : std::min(*at, clip_end);
}

}  // namespace

std::vector<Segment> snap_to_key_frames(const std::vector<Segment>& segments,
                                        const std::vector<std::vector<double>>& key_frames,
                                        const std::vector<double>& durations) {
  std::vector<Segment> snapped;
  double offset = 0;
  for (const Segment& segment : segments) {
    if (!(segment.duration > 0)) {
      continue;  // an empty range stays empty rather than growing to a key frame interval
    }
    const bool known = segment.clip < key_frames.size() && !key_frames[segment.clip].empty();
    const double clip_end =
        segment.clip < durations.size() ? durations[segment.clip] : segment.inpoint + segment.duration;
    const double begin = known ? key_at_or_before(key_frames[segment.clip], segment.inpoint) : 0.0;
    const double end =
        known ? key_at_or_after(key_frames[segment.clip], segment.inpoint + segment.duration, clip_end) : clip_end;
    if (end > begin) {
      snapped.push_back({segment.clip, begin, end - begin, offset});
      offset += end - begin;
    }
  }
  return snapped;
}

}  // namespace vek::drive
