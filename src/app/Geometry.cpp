#include "app/Geometry.h"

#include <array>
#include <charconv>

namespace vek::app {
namespace {

// "%f" precision.
constexpr int kDecimals = 6;

}  // namespace

std::string height_text(double height) {
  // Room for the largest double in fixed notation with six decimals.
  std::array<char, 400> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), height, std::chars_format::fixed, kDecimals);
  return std::string(buffer.data(), result.ptr);
}

FittedWindow fit_window(const ports::Frame& frame, double screen_height) {
  FittedWindow fitted;
  fitted.passes = 1;
  double height = frame.height;
  while (height + kScreenMargin > screen_height && height > kScreenMargin) {
    height -= kScreenMargin;
    ++fitted.passes;
  }
  fitted.frame.x = frame.x;
  fitted.frame.y = frame.y + frame.height - height;
  fitted.frame.width = height * kProportion;
  fitted.frame.height = height;
  return fitted;
}

std::string geometry_line(const ports::Frame& frame, double screen_height) {
  return "rr:" + height_text(kProportion) + ",w:" + height_text(frame.width) + ",h:" + height_text(frame.height) +
         ",rh:" + height_text(screen_height);
}

}  // namespace vek::app
