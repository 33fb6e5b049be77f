#pragma once
// The main window keeps the 960:600 proportion and stays a margin clear of
// the screen's full height. The window system applies sizes later, so the
// end state that step-by-step adjustment would reach is computed at once.

#include <string>

#include "app/ports/Window.h"

namespace vek::app {

// 960/600 in single precision, then used in double: 1.60000002384185791015625.
inline constexpr double kProportion = static_cast<double>(960.0F / 600.0F);
// A window closer than this to the screen's height is made shorter by it.
inline constexpr double kScreenMargin = 50.0;

struct FittedWindow {
  ports::Frame frame;
  // Number of adjusting passes step-by-step resizing would make: one per
  // height the window passes through. Each logs one line.
  int passes = 0;
};

// Height shortened by the margin until height + margin fits the screen
// (never below the margin itself), width = final height × proportion; the
// bottom edge stays where it was.
FittedWindow fit_window(const ports::Frame& frame, double screen_height);

// A height as "%f" prints it, with a point whatever the locale.
std::string height_text(double height);

// "rr:%f,w:%f,h:%f,rh:%f".
std::string geometry_line(const ports::Frame& frame, double screen_height);

}  // namespace vek::app
