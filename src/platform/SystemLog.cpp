#include "platform/SystemLog.h"

#include <syslog.h>

#include <atomic>
#include <cstdio>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

std::atomic<SystemLog*> g_process_log{nullptr};

}  // namespace

SystemLog::SystemLog(std::string program) : program_(std::move(program)) {
  openlog(program_.c_str(), LOG_PID, LOG_USER);
  g_process_log.store(this);
  base::set_callback_logger(&log_fault);
}

SystemLog::~SystemLog() {
  g_process_log.store(nullptr);
  closelog();
}

void SystemLog::line(std::string_view text) {
  const int length = static_cast<int>(text.size());
  const std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%s: %.*s\n", program_.c_str(), length, text.data());
  std::fflush(stderr);
  syslog(LOG_INFO, "%.*s", length, text.data());
}

void log_fault(std::string_view where, std::string_view what) noexcept {
  try {
    const std::string text = std::string(where) + ": " + std::string(what);
    if (SystemLog* log = g_process_log.load()) {
      log->line(text);
    } else {
      std::fprintf(stderr, "vek: %s\n", text.c_str());
    }
  } catch (...) {
    std::fputs("vek: a fault could not be logged\n", stderr);
  }
}

}  // namespace vek::platform
