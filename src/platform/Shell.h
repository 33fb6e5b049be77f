#pragma once
// The application's window, web view and desktop services, built on GTK and
// WebKitGTK but offered through the ports alone, so callers need no
// platform header.

#include <memory>

#include "app/AppDelegate.h"

namespace vek::platform {

class Shell {
 public:
  // Builds the window and its web view; GTK must have been started.
  explicit Shell(app::ports::Log& log);
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  ~Shell();

  // The pieces the application object talks to; they live as long as the shell.
  app::Platform ports();
  // Routes the window's, the view's and the drags' callbacks to `app`, which
  // must outlive the shell, and shows the window with the view as its content.
  void connect(app::AppDelegate& app);
  // Runs the main loop; the process ends from inside it.
  void run();

 private:
  struct Pieces;
  std::unique_ptr<Pieces> pieces_;
};

}  // namespace vek::platform
