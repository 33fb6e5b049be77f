#pragma once
// Runs another program to its end, as the benchmarks' ffmpeg and clip maker.

#include <chrono>
#include <string>
#include <vector>

#include "support/Process.h"

namespace vek::bench {

// True when `argv` (found through PATH) exited with status 0. Encodes of
// long 1080p clips are timed here, so only an hour counts as hung.
inline bool run_program(const std::vector<std::string>& argv) {
  return test::run_process(argv, test::RunOptions::with_timeout(std::chrono::hours(1))).ok();
}

}  // namespace vek::bench
