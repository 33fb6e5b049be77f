#pragma once
// Exports with options of the same clips, measured in the same run: the
// overlay export against the plain re-encoding one, and the original-quality
// join against `ffmpeg -f concat -c copy` and against the re-encoding export.

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vek::bench {

struct ExportRounds {
  std::vector<double> reencode;
  std::vector<double> overlay;
  std::vector<double> copy;
  std::vector<double> ffmpeg_copy;
};

// `runs` rounds, each timing all four (the order turning each round); each
// output is removed after it is timed. Throws std::runtime_error when one fails.
ExportRounds bench_exports(const std::vector<std::filesystem::path>& clips, int runs,
                           const std::filesystem::path& scratch);

}  // namespace vek::bench
