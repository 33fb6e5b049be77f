#pragma once
// Timing helpers shared by the media benchmarks.

#include <algorithm>
#include <chrono>
#include <vector>

namespace vek::bench {

inline double median(std::vector<double> values) {
  if (values.empty()) {
    return 0;
  }
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Seconds that `work` takes on the wall clock.
template <typename Work>
double seconds_of(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times of our code and of ffmpeg doing the same work, one of each per round.
struct Rounds {
  std::vector<double> ours;
  std::vector<double> ffmpeg;
};

}  // namespace vek::bench
