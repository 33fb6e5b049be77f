#pragma once
// Runs another program to its end, as the benchmarks' ffmpeg and clip maker.

#include <string>
#include <vector>

namespace vek::bench {

// Runs `argv` (found through PATH) with this environment and waits for it;
// true when it exited with status 0.
bool run_program(const std::vector<std::string>& argv);

}  // namespace vek::bench
