#include "base/glib/CallbackGuard.h"

#include <glib.h>

#include <atomic>

namespace vek::base {
namespace {

std::atomic<CallbackLogger> callback_logger{nullptr};
std::atomic<CallbackTrace*> trace_in_use{nullptr};
// Callbacks of the main loop run one inside another only through nested
// guards; only the outermost is timed.
thread_local int timed_depth = 0;

}  // namespace

void set_callback_trace(CallbackTrace* trace) noexcept {
  trace_in_use.store(trace);
}

CallbackTrace* callback_trace() noexcept {
  return trace_in_use.load(std::memory_order_relaxed);
}

CallbackTiming::CallbackTiming(const char* where) noexcept : where_(where) {
  CallbackTrace* trace = callback_trace();
  if (trace == nullptr || !g_main_context_is_owner(g_main_context_default())) {
    return;
  }
  counted_ = true;
  if (timed_depth++ == 0) {
    trace_ = trace;
    started_ = CallbackTrace::Clock::now();
  }
}

CallbackTiming::~CallbackTiming() {
  if (!counted_) {
    return;
  }
  --timed_depth;
  if (trace_ != nullptr) {
    trace_->callback_ran(where_, CallbackTrace::Clock::now() - started_);
  }
}

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
