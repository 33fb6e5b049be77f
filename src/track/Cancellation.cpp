#include "track/Cancellation.h"

namespace vek::track {

void Cancellation::cancel() {
  const std::lock_guard lock(publishing_);
  cancelled_.store(true, std::memory_order_release);
}

bool Cancellation::publish_unless_cancelled(const std::function<void()>& publish) {
  const std::lock_guard lock(publishing_);
  if (cancelled()) return false;
  publish();
  return true;
}

}  // namespace vek::track
