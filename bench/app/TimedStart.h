#pragma once
// One program start, timed from just before the spawn to the moment a marker
// appears on its standard error (read through a pipe, not polled from a file,
// so the time is not rounded to a polling step).

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace vek::bench {

struct StartTime {
  bool reached = false;
  double milliseconds = 0;
  // Why the marker was not reached, with the end of the program's output.
  std::string failure;
};

// Starts `argv` with HOME set to `home` and the rest of this environment,
// waits for `marker` at most `timeout`, then ends the program.
StartTime time_until_marker(const std::vector<std::string>& argv, const std::filesystem::path& home,
                            const std::string& marker, std::chrono::milliseconds timeout);

}  // namespace vek::bench
