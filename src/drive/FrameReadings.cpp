#include "drive/FrameReadings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drive/Readings.h"
#include "drive/TimeKey.h"

namespace vek::drive {
namespace {

constexpr double kBeforeEnd = 1e-3;  // far less than a frame, far more than rounding

}  // namespace

DriveOverlayModel::DriveOverlayModel(std::vector<ClipTrack> tracks, std::vector<Segment> segments,
                                     TimeSettings settings, ZoneOffset zone_offset, bool decimal_position)
    : tracks_(std::move(tracks)),
      segments_(std::move(segments)),
      settings_(std::move(settings)),
      zone_offset_(std::move(zone_offset)),
      decimal_position_(decimal_position) {
  for (const ClipTrack& track : tracks_) {
    utc_starts_.push_back(key_to_utc(track.start, track.key_offset, settings_, zone_offset_));
  }
  build_route();
}

FrameReadings DriveOverlayModel::at(double export_time) const {
  return at_clip(clip_point_at(segments_, export_time));
}

std::optional<std::pair<std::size_t, std::size_t>> DriveOverlayModel::sample_at(std::optional<ClipPoint> point) const {
  if (!point || point->clip >= tracks_.size()) {
    return std::nullopt;
  }
  const std::ptrdiff_t index = sample_index_at(tracks_[point->clip], point->time);
  if (index < 0) {
    return std::nullopt;
  }
  return std::pair{point->clip, static_cast<std::size_t>(index)};
}

FrameReadings DriveOverlayModel::at_clip(std::optional<ClipPoint> point) const {
  FrameReadings readings;
  readings.speed_unit = speed_unit_text(settings_.unit);
  const auto shown = sample_at(point);
  if (!shown) {
    readings.clock = readings.speed = readings.gx = readings.gy = readings.gz = axis_text(NAN);
    readings.x = readings.y = readings.z = NAN;
    return readings;
  }
  const ClipTrack& track = tracks_[shown->first];
  const Sample& sample = track.samples[shown->second];
  readings.has_sample = true;
  const double utc = utc_starts_[shown->first] + sample.t;
  readings.clock = format_date_time(displayed_time(utc, settings_, zone_offset_));
  readings.speed = speed_text(sample.speed_kmh, settings_.unit);
  if (sample.valid) {
    readings.position = decimal_position_ ? decimal_position_text(sample.lat, sample.lon)
                                          : position_text(sample.label, sample.lat, sample.lon);
  }
  readings.gx = axis_text(sample.x);
  readings.gy = axis_text(sample.y);
  readings.gz = axis_text(sample.z);
  readings.x = sample.x;
  readings.y = sample.y;
  readings.z = sample.z;
  readings.here = project(sample);
  return readings;
}

void DriveOverlayModel::build_route() {
  double south = 90, north = -90, west = 180, east = -180;
  const auto covered = samples_in_range(tracks_, segments_);
  for (const auto& [clip, sample] : covered) {
    if (sample.valid) {
      south = std::min(south, sample.lat);
      north = std::max(north, sample.lat);
      west = std::min(west, sample.lon);
      east = std::max(east, sample.lon);
    }
  }
  if (south > north) {
    return;
  }
  // Equirectangular: a degree of longitude shrinks with the cosine of the latitude.
  x_scale_ = std::cos((south + north) / 2 * std::numbers::pi / 180);
  const double width = (east - west) * x_scale_;
  const double height = north - south;
  span_ = std::max({width, height, 1e-9});
  west_ = west;
  north_ = north;
  x_pad_ = (span_ - width) / 2;
  y_pad_ = (span_ - height) / 2;
  for (const auto& [clip, sample] : covered) {
    if (const auto point = project(sample)) {
      route_.push_back(*point);
    }
  }
}

std::optional<RoutePoint> DriveOverlayModel::project(const Sample& sample) const {
  if (!sample.valid || span_ <= 0) {
    return std::nullopt;
  }
  const double x = ((sample.lon - west_) * x_scale_ + x_pad_) / span_;
  const double y = ((north_ - sample.lat) + y_pad_) / span_;
  return RoutePoint{std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)};
}

std::vector<std::pair<std::size_t, Sample>> samples_in_range(const std::vector<ClipTrack>& tracks,
                                                             const std::vector<Segment>& segments) {
  std::vector<std::pair<std::size_t, Sample>> covered;
  for (const Segment& segment : segments) {
    if (segment.clip >= tracks.size() || tracks[segment.clip].samples.empty()) {
      continue;
    }
    const ClipTrack& track = tracks[segment.clip];
    const auto first = static_cast<std::size_t>(sample_index_at(track, segment.inpoint));
    // The range ends before its end time: its last frame starts less than a frame earlier.
    const double last_shown = std::max(segment.inpoint, segment.inpoint + segment.duration - kBeforeEnd);
    const auto last = static_cast<std::size_t>(sample_index_at(track, last_shown));
    for (std::size_t i = first; i <= last; ++i) {
      covered.emplace_back(segment.clip, track.samples[i]);
    }
  }
  return covered;
}

}  // namespace vek::drive
