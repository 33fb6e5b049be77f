#pragma once
// The edit of a merged export: the clips whole, end to end, in order.

#include <ges/ges.h>

#include <vector>

#include "media/ClipAssetLoader.h"
#include "base/glib/GstHandles.h"

namespace vek::media {

struct ExportTimeline {
  std::unique_ptr<GESTimeline, base::GstObjectUnref> timeline;  // null when no clip could be read
  GstClockTime duration = 0;
  bool has_audio = false;  // some clip has sound; otherwise the timeline has no audio track
  int clip_count = 0;
};

// Builds the timeline: each clip at the running end, from its start for its
// whole duration; an asset listed twice is taken twice; null assets (clips
// that could not be read) are skipped. Video is scaled into `width` x
// `height`. Must run on the thread that will render the timeline.
ExportTimeline build_export_timeline(const std::vector<AssetPtr>& clips, int width, int height);

}  // namespace vek::media
