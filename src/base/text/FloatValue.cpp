#include "base/text/FloatValue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vek::base {

double float_value(std::string_view text) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  const std::size_t first = text.find_first_not_of(" \t\n\r\v\f");
  if (first == std::string_view::npos) {
    return kNone;
  }
  text.remove_prefix(first);
  // from_chars takes a minus but not a plus; a sign after the plus is no number.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) {
      return kNone;
    }
  }
  double value = kNone;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && std::isfinite(value) ? value : kNone;
}

}  // namespace vek::base
