#pragma once
// The longest delay of a periodic tick past its period, one figure per
// report window: how long the loop that runs the tick was kept from it.

#include <chrono>
#include <optional>

namespace vek::app {

class StallMeter {
 public:
  using Clock = std::chrono::steady_clock;

  StallMeter(std::chrono::milliseconds period, std::chrono::milliseconds window);

  // A tick arrived at `now`. Once a window has passed, returns its worst
  // stall (zero when every tick came on time) and starts the next window.
  std::optional<std::chrono::milliseconds> tick(Clock::time_point now);

 private:
  std::chrono::milliseconds period_;
  std::chrono::milliseconds window_;
  std::optional<Clock::time_point> last_;
  Clock::time_point window_start_{};
  Clock::duration worst_{};
};

}  // namespace vek::app
