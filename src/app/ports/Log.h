#pragma once
// Diagnostic lines. Callable from any thread.

#include <string_view>

namespace vek::app::ports {

class Log {
 public:
  virtual ~Log() = default;
  virtual void line(std::string_view text) = 0;
};

}  // namespace vek::app::ports
