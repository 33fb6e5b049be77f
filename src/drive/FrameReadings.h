#pragma once
// What the overlay shows at a moment of the export: the sample the page shows
// at the same video time of the same clip, in the page's words, and the
// route of the exported range with the current place on it.

#include <optional>
#include <string>
#include <vector>

#include "drive/ClipTrack.h"
#include "drive/ExportRange.h"
#include "drive/TimeSettings.h"

namespace vek::drive {

struct RoutePoint {
  double x = 0;  // 0..1 from the left
  double y = 0;  // 0..1 from the top (north up)
};

struct FrameReadings {
  bool has_sample = false;  // false: the clip has no track, the band shows dashes
  std::string clock;
  std::string speed;
  std::string speed_unit;
  std::string position;  // empty when there is no fix
  std::string gx, gy, gz;
  double x = 0, y = 0, z = 0;  // G-sensor values, NaN when missing
  std::optional<RoutePoint> here;
};

class DriveOverlayModel {
 public:
  // `tracks[i]` belongs to the i-th clip of the selection. The clock shows
  // each sample as the page does: its track's start in UTC plus its time.
  DriveOverlayModel(std::vector<ClipTrack> tracks, std::vector<Segment> segments, TimeSettings settings,
                    ZoneOffset zone_offset, bool decimal_position);

  FrameReadings at(double export_time) const;
  // The same for a moment given as a clip of the selection and its own time.
  FrameReadings at_clip(std::optional<ClipPoint> point) const;
  // Which sample `at_clip` shows: (clip, index), or nullopt for none.
  std::optional<std::pair<std::size_t, std::size_t>> sample_at(std::optional<ClipPoint> point) const;
  // The valid positions of the exported range, in order, fitted into the unit square.
  const std::vector<RoutePoint>& route() const { return route_; }

 private:
  void build_route();
  std::optional<RoutePoint> project(const Sample& sample) const;

  std::vector<ClipTrack> tracks_;
  std::vector<Segment> segments_;
  TimeSettings settings_;
  ZoneOffset zone_offset_;
  bool decimal_position_;
  std::vector<double> utc_starts_;  // per clip: the UTC moment of its first key, as the page reckons it
  std::vector<RoutePoint> route_;
  double west_ = 0, north_ = 0, span_ = 0, x_scale_ = 1, x_pad_ = 0, y_pad_ = 0;
};

// The samples some frame of the export shows, clip by clip: from the one shown
// at a segment's first frame to the one shown just before its end.
std::vector<std::pair<std::size_t, Sample>> samples_in_range(const std::vector<ClipTrack>& tracks,
                                                             const std::vector<Segment>& segments);

}  // namespace vek::drive
