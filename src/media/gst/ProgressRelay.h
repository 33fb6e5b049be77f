#pragma once
// Carries progress from a media thread to its callback on the main thread
// (the default GLib main context).

#include <memory>

#include "media/core/MediaPorts.h"

namespace vek::media {

struct ProgressTarget;

class ProgressRelay {
 public:
  explicit ProgressRelay(Exporter::Progress callback);
  // Any thread: queues one call of the callback with `percent`.
  void post(int percent) const;
  // Main thread: calls still queued are dropped from now on.
  void close() noexcept;

 private:
  std::shared_ptr<ProgressTarget> target_;
};

}  // namespace vek::media
