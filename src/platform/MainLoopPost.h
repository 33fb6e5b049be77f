#pragma once
// Work handed to the GLib main loop from any thread.

#include "app/ports/MainThread.h"

namespace vek::platform {

class MainLoopPost : public app::ports::MainThread {
 public:
  void post(std::function<void()> task) override;
  void post_after(std::chrono::milliseconds delay, std::function<void()> task) override;
};

}  // namespace vek::platform
