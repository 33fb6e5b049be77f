#pragma once
// A merged export of the same clips: GstExporter against an ffmpeg concat with
// the same re-encode (1920x1080 at 30 frames/s, libx264 "veryfast" at 2 Mbit/s
// like x264enc's default rate, AAC audio).

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "BenchStats.h"

namespace vek::bench {

// `runs` rounds, the one going first alternating; each output is removed after
// it is timed. Throws std::runtime_error when either fails.
Rounds bench_merge(const std::vector<std::filesystem::path>& clips, int runs, const std::filesystem::path& scratch);

}  // namespace vek::bench
