#pragma once
// The edit of a re-encoded export: the segments of the picked clips end to
// end, in order.

#include <ges/ges.h>

#include <vector>

#include "base/glib/GstHandles.h"
#include "drive/ExportRange.h"
#include "media/gst/ClipAssetLoader.h"

namespace vek::media {

struct ExportTimeline {
  std::unique_ptr<GESTimeline, base::GstObjectUnref> timeline;  // null when no clip could be read
  GstClockTime duration = 0;
  bool has_audio = false;  // some clip has sound; otherwise the timeline has no audio track
  int clip_count = 0;
};

// The duration of each asset in seconds, 0 for a null one.
std::vector<double> asset_durations(const std::vector<AssetPtr>& clips);

// Builds the timeline: each segment's clip at the running end, from the
// segment's in point for its duration. Video is scaled into `width` x
// `height`. Must run on the thread that will render the timeline.
ExportTimeline build_export_timeline(const std::vector<AssetPtr>& clips, const std::vector<drive::Segment>& segments,
                                     int width, int height);

GstClockTime to_clock_time(double seconds);

}  // namespace vek::media
