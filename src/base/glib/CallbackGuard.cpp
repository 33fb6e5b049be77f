#include "base/glib/CallbackGuard.h"

#include <glib.h>

#include <atomic>

namespace vek::base {
namespace {

std::atomic<CallbackLogger> callback_logger{nullptr};

}  // namespace

void set_callback_logger(CallbackLogger logger) noexcept {
  CallbackLogger unset = nullptr;
  callback_logger.compare_exchange_strong(unset, logger);
}

void log_callback_fault(std::string_view where, std::string_view what) noexcept {
  if (const CallbackLogger logger = callback_logger.load(); logger != nullptr) {
    logger(where, what);
    return;
  }
  g_warning("%.*s: %.*s", static_cast<int>(where.size()), where.data(), static_cast<int>(what.size()), what.data());
}

}  // namespace vek::base
