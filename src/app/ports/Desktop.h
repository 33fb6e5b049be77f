#pragma once
// The user's desktop: file manager, browser, and the process itself.
// Main thread only.

#include <string>

namespace vek::app::ports {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows a folder in the file manager; the outcome is not wanted.
  virtual void open_folder(const std::string& path) = 0;
  // Opens a web address in the user's browser.
  virtual void open_uri(const std::string& uri) = 0;
  // Ends the process at once with `status`; nothing is saved or finished.
  virtual void exit_now(int status) = 0;
};

}  // namespace vek::app::ports
