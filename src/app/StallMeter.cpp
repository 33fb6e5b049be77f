#include "app/StallMeter.h"

#include <algorithm>

namespace vek::app {

StallMeter::StallMeter(std::chrono::milliseconds period, std::chrono::milliseconds window)
    : period_(period), window_(window) {}

std::optional<std::chrono::milliseconds> StallMeter::tick(Clock::time_point now) {
  if (!last_) {
    last_ = now;
    window_start_ = now;
    return std::nullopt;
  }
  // A clock that steps back (it should not) counts as no delay, not as a huge one.
  const Clock::duration late = std::max(Clock::duration::zero(), now - *last_ - period_);
  worst_ = std::max(worst_, late);
  last_ = now;
  if (now - window_start_ < window_) {
    return std::nullopt;
  }
  const auto worst = std::chrono::duration_cast<std::chrono::milliseconds>(worst_);
  worst_ = Clock::duration::zero();
  window_start_ = now;
  return worst;
}

}  // namespace vek::app
