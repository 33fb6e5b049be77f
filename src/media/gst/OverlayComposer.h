#pragma once
// Feeds the overlay of an export's video track: for each frame
// the band of readings of the sample the page shows at that clip time,
// painted once per sample and reused for the frames that show it.

#include <gst/video/video.h>

#include <mutex>
#include <optional>
#include <utility>

#include "drive/BandLayout.h"
#include "drive/FrameReadings.h"

namespace vek::media {

class OverlayComposer {
 public:
  OverlayComposer(drive::DriveOverlayModel model, drive::OverlayElements elements);
  ~OverlayComposer();
  OverlayComposer(const OverlayComposer&) = delete;
  OverlayComposer& operator=(const OverlayComposer&) = delete;

  // Streaming threads: a new reference to the band for a frame of `clip` at
  // `clip_time` seconds of it, `width` x `height` pixels; null when nothing is shown.
  GstVideoOverlayComposition* compose(std::size_t clip, double clip_time, int width, int height);

 private:
  GstVideoOverlayComposition* paint(const drive::FrameReadings& readings, const drive::BandLayout& layout) const;

  const drive::DriveOverlayModel model_;
  const drive::OverlayElements elements_;
  std::mutex mutex_;
  // The last band and what it was painted for: frame size and (clip, sample).
  GstVideoOverlayComposition* last_ = nullptr;
  std::pair<int, int> last_size_{0, 0};
  std::optional<std::pair<std::size_t, std::size_t>> last_sample_;
};

}  // namespace vek::media
