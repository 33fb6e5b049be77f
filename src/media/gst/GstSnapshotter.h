#pragma once
// Snapshots of clip frames and of the screen, decoded and captured with
// GStreamer and written as PNG.

#include "media/core/MediaPorts.h"

namespace vek::media {

class GstSnapshotter final : public Snapshotter {
 public:
  FrameResult save_frame(const std::string& uri, std::int64_t value, std::int32_t timescale,
                         const std::filesystem::path& png_path) override;
  bool save_screen_area(const ScreenRect& area, const std::filesystem::path& png_path) override;
};

}  // namespace vek::media
