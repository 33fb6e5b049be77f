#include "library/IntakeProgress.h"

#include <cmath>

namespace vek::library {

std::optional<std::chrono::seconds> estimate_time_left(std::uintmax_t bytes_done, std::uintmax_t bytes_total,
                                                       std::chrono::steady_clock::duration elapsed) {
  if (bytes_done == 0 || elapsed <= std::chrono::steady_clock::duration::zero()) {
    return std::nullopt;
  }
  const double remaining = bytes_total > bytes_done ? static_cast<double>(bytes_total - bytes_done) : 0.0;
  const double seconds = std::chrono::duration<double>(elapsed).count() * remaining / static_cast<double>(bytes_done);
  return std::chrono::seconds(static_cast<std::int64_t>(std::ceil(seconds)));
}

}  // namespace vek::library
