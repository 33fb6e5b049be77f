#pragma once
// Modal dialogs. Main thread only.

#include <optional>
#include <string>
#include <vector>

namespace vek::app::ports {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal chooser of several files and folders, files filtered by the
  // "mov" extension in any letter case. The absolute paths in the chooser's
  // order, or empty when the user cancelled.
  virtual std::optional<std::vector<std::string>> choose_clips() = 0;
};

}  // namespace vek::app::ports
