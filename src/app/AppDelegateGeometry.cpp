// Window proportion.

#include "app/AppDelegate.h"
#include "app/Geometry.h"

namespace vek::app {

void AppDelegate::windowDidResize() {
  resizes();
}

// The window system reports the new size later, so the pass sets the end
// state at once and records its height: the report of that size then ends
// at the height test instead of adjusting again.
void AppDelegate::resizes() {
  const ports::Frame frame = platform_.window.frame();
  const std::string text = height_text(frame.height);
  if (oheight_ == text) {
    return;
  }
  const double screen_height = platform_.window.screen_height();
  const FittedWindow fitted = fit_window(frame, screen_height);
  oheight_ = height_text(fitted.frame.height);
  platform_.window.set_frame(fitted.frame);
  const std::string line = geometry_line(fitted.frame, screen_height);
  for (int pass = 0; pass < fitted.passes; ++pass) {
    log(line);
  }
}

}  // namespace vek::app
