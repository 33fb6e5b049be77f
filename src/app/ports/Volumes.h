#pragma once
// Removable media as the desktop mounts and unmounts them: memory cards in a
// reader, USB sticks. Main thread only.

#include <functional>
#include <string>

namespace vek::app::ports {

struct VolumeEvents {
  // A removable medium mounted at `root`, with the name the desktop shows.
  std::function<void(const std::string& root, const std::string& name)> mounted;
  std::function<void(const std::string& root)> unmounted;
};

class Volumes {
 public:
  virtual ~Volumes() = default;
  // Tells `events` of the media mounted now, then of every later change,
  // for as long as the watcher lives.
  virtual void watch(VolumeEvents events) = 0;
};

}  // namespace vek::app::ports
