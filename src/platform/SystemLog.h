#pragma once
// Diagnostic lines go to standard error and to the system log, each prefixed
// with the program name. Safe from any thread.

#include <mutex>
#include <string>
#include <string_view>

#include "app/ports/Log.h"

namespace vek::platform {

class SystemLog : public app::ports::Log {
 public:
  explicit SystemLog(std::string program);
  SystemLog(const SystemLog&) = delete;
  SystemLog& operator=(const SystemLog&) = delete;
  ~SystemLog() override;

  void line(std::string_view text) override;

 private:
  std::string program_;
  std::mutex mutex_;
};

// The log of the running process, for faults caught in C callbacks; lines
// written before one exists go to standard error alone.
void log_fault(std::string_view where, std::string_view what) noexcept;

}  // namespace vek::platform
