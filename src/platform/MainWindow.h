#pragma once
// The one main window: its frame for the geometry rules, and its close and
// resize notifications routed to the application object.

#include <gtk/gtk.h>

#include "app/ports/Window.h"

namespace vek::app {
class AppDelegate;
}

namespace vek::platform {

class MainWindow : public app::ports::Window {
 public:
  MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  GtkWindow* gtk_window() const { return window_; }
  // Routes closing and size changes to `app`, which must outlive the window.
  void connect(app::AppDelegate& app);

  app::ports::Frame frame() const override;
  void set_frame(const app::ports::Frame& frame) override;
  double screen_height() const override;

  // Called from the configure handler: true when the size differs from the
  // size last seen.
  bool note_size(int width, int height);

 private:
  GdkMonitor* current_monitor() const;

  // Owned by GTK's list of toplevels for the life of the process.
  GtkWindow* window_;
  int seen_width_ = 0;
  int seen_height_ = 0;
};

}  // namespace vek::platform
