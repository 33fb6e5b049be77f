#pragma once
// Hands work to the main loop. Callable from any thread.

#include <functional>

namespace vek::app::ports {

class MainThread {
 public:
  virtual ~MainThread() = default;
  // Queues `task` to run on the main thread and returns without waiting.
  virtual void post(std::function<void()> task) = 0;
};

}  // namespace vek::app::ports
