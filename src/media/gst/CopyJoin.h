#pragma once
// Original-quality join: the clips' H.264 and AAC streams copied into one
// QuickTime file (qtdemux, parsers, concat, qtmux) with continuous times. A
// trimmed segment starts at the key frame at or before its in point and ends
// at the key frame at or after its out point.

#include <glib.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "drive/ExportRange.h"
#include "media/core/MediaPorts.h"
#include "media/gst/ClipAssetLoader.h"
#include "media/gst/ProgressRelay.h"

namespace vek::media {

// Why the clips cannot be joined without re-encoding (they differ in codec,
// frame size, frame rate or sound); nullopt when they can.
std::optional<std::string> copy_mismatch(const std::vector<AssetPtr>& assets,
                                         const std::vector<drive::Segment>& segments);

// Key frame times of a clip's video, in seconds, ascending; empty when none can be read.
std::vector<double> key_frame_times(const std::filesystem::path& clip, const std::atomic<bool>& cancelled);

// Copies `segments` (already on key frames) into `file`.
ExportStatus render_copy(const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                         const std::filesystem::path& file, GMainContext* context, const std::atomic<bool>& cancelled,
                         const ProgressRelay& progress);

}  // namespace vek::media
