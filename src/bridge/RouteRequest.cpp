#include "bridge/RouteRequest.h"

#include <charconv>

#include "base/text/Strings.h"
#include "bridge/CommandArguments.h"

namespace vek::bridge {
namespace {

bool known_format(std::string_view format) {
  return format == "gpx" || format == "kml" || format == "csv";
}

std::optional<double> gap_seconds(std::string_view text) {
  double gap = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), gap);
  if (error != std::errc{} || end != text.data() + text.size() || !(gap >= 0 && gap <= kMaxRouteGapSeconds)) {
    return std::nullopt;
  }
  return gap;
}

}  // namespace

std::optional<RouteRequest> route_request(std::string_view text) {
  const std::string argument = argument_text(text, Command::RouteOut);
  const std::string_view rest(argument);
  const std::size_t first = rest.find(';');
  const std::size_t second = first == std::string_view::npos ? first : rest.find(';', first + 1);
  if (second == std::string_view::npos) {
    return std::nullopt;
  }
  RouteRequest request;
  request.format = std::string(rest.substr(0, first));
  const std::optional<double> gap = gap_seconds(rest.substr(first + 1, second - first - 1));
  if (!known_format(request.format) || !gap) {
    return std::nullopt;
  }
  request.gap_seconds = *gap;
  for (const std::string& piece : base::split(rest.substr(second + 1), ',')) {
    if (!piece.empty()) {
      request.clips.push_back(decode_path_element(piece));
    }
  }
  if (request.clips.empty() || request.clips.size() > kMaxRouteClips) {
    return std::nullopt;
  }
  return request;
}

}  // namespace vek::bridge
