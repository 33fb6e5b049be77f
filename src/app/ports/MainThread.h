#pragma once
// Hands work to the main loop. Callable from any thread.

#include <chrono>
#include <functional>

namespace vek::app::ports {

class MainThread {
 public:
  virtual ~MainThread() = default;
  // Queues `task` to run on the main thread and returns without waiting.
  virtual void post(std::function<void()> task) = 0;
  // Queues `task` to run on the main thread once `delay` has passed.
  virtual void post_after(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

}  // namespace vek::app::ports
