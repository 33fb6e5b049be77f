#include "library/Markers.h"

#include "base/text/IntValue.h"
#include "base/text/Strings.h"

namespace vek::library {
namespace {

constexpr std::array<std::string_view, 4> kCloseMarkers = {"closer.", "closeR.", "closeb.", "closeB."};
// The camera's segment number is the fourth piece of its "_"-joined names.
constexpr std::size_t kSegmentPiece = 3;

}  // namespace

bool has_close_marker(std::string_view path) {
  for (const std::string_view close : kCloseMarkers) {
    if (path.find(close) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

std::optional<std::array<std::string, 3>> number_markers(std::string_view path) {
  const std::vector<std::string> pieces = base::split(path, '_');
  if (pieces.size() <= kSegmentPiece) {
    return std::nullopt;
  }
  const std::int32_t n = base::int_value(pieces[kSegmentPiece]);
  std::array<std::string, 3> markers;
  for (std::int32_t k = 0; k < 3; ++k) {
    markers.at(static_cast<std::size_t>(k)) = std::to_string(base::wrapping_add(n, k + 1)) + "_";
  }
  return markers;
}

bool has_number_marker(std::string_view path, const std::array<std::string, 3>& markers) {
  for (const std::string& number : markers) {
    for (std::size_t at = path.find(number); at != std::string_view::npos; at = path.find(number, at + 1)) {
      if (at == 0 || !base::is_ascii_digit(path[at - 1])) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace vek::library
