#pragma once
// The drive samples of each clip, read with the track library straight from
// the clip's bytes, as an import would write them for the page.

#include <atomic>
#include <filesystem>
#include <optional>
#include <vector>

#include "drive/ClipTrack.h"

namespace vek::media {

// One track per clip, in order; an empty track for a clip that cannot be
// read or holds no samples. nullopt when `cancelled` turns true first.
std::optional<std::vector<drive::ClipTrack>> read_clip_tracks(const std::vector<std::filesystem::path>& clips,
                                                              const std::atomic<bool>& cancelled);

}  // namespace vek::media
