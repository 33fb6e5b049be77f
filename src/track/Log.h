#pragma once
// Diagnostic log lines leave the pure library through a sink; the library
// itself never prints. An empty sink drops the lines (and skips formatting them).

#include <functional>
#include <string_view>

namespace vek::track {

using LogSink = std::function<void(std::string_view line)>;

}  // namespace vek::track
