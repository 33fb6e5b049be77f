#pragma once
// One frame of a clip to PNG: GstSnapshotter::save_frame against
// `ffmpeg -ss T -i clip -frames:v 1 out.png`, same clip, same positions.

#include <filesystem>
#include <stdexcept>

#include "BenchStats.h"

namespace vek::bench {

// `positions` random times in the clip (fixed seed), each taken by both, the
// one going first alternating. Throws std::runtime_error when either fails.
Rounds bench_snapshot(const std::filesystem::path& clip, double clip_seconds, int positions,
                      const std::filesystem::path& scratch);

}  // namespace vek::bench
