#pragma once
// Lets one thread stop an extraction running on another. Publishing the
// result and cancelling exclude each other, so once cancel() returns no track
// file is being written and none will be.

#include <atomic>
#include <functional>
#include <mutex>

namespace vek::track {

class Cancellation {
 public:
  // Waits for a publish in progress (one small file write), never for a parse.
  void cancel();
  bool cancelled() const noexcept { return cancelled_.load(std::memory_order_acquire); }
  // Runs `publish` unless cancelled; false when cancelled.
  bool publish_unless_cancelled(const std::function<void()>& publish);

 private:
  std::mutex publishing_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace vek::track
