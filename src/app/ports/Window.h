#pragma once
// The main window and the screen it is on. Coordinates are the X11 screen's:
// origin at the top left, y growing downwards. Main thread only.

namespace vek::app::ports {

struct Frame {
  double x = 0;
  // Top edge.
  double y = 0;
  double width = 0;
  double height = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual Frame frame() const = 0;
  // Asks for a new frame; the window system applies it later.
  virtual void set_frame(const Frame& frame) = 0;
  // Full height of the monitor that holds the window.
  virtual double screen_height() const = 0;
};

}  // namespace vek::app::ports
