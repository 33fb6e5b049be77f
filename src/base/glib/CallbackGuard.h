#pragma once
// Every function that GLib, GTK, WebKit or GStreamer calls back (signal
// handlers, idle and timeout sources, bus watches, thread bodies) runs its
// work through this guard, so that no exception unwinds into C code.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <exception>
#include <string_view>
#include <utility>

namespace vek::base {

// For benchmarks: told how long each guarded callback on the main loop took
// (callbacks nested in one count as part of it) and how much script it sent
// to the page. Unset, the guard only reads one pointer.
class CallbackTrace {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~CallbackTrace() = default;
  virtual void callback_ran(const char* where, Clock::duration took) noexcept = 0;
  virtual void script_sent(std::size_t bytes) noexcept = 0;
};

// Set before the main loop runs; null stops tracing.
void set_callback_trace(CallbackTrace* trace) noexcept;
CallbackTrace* callback_trace() noexcept;

// Times the guarded work it lives across, when tracing and on the main loop.
class CallbackTiming {
 public:
  explicit CallbackTiming(const char* where) noexcept;
  CallbackTiming(const CallbackTiming&) = delete;
  CallbackTiming& operator=(const CallbackTiming&) = delete;
  ~CallbackTiming();

 private:
  const char* where_;
  bool counted_ = false;
  CallbackTrace* trace_ = nullptr;
  CallbackTrace::Clock::time_point started_{};
};

// Where caught faults go: set once by the program at start (the system log);
// later calls change nothing. Until then faults go to GLib's warning log.
using CallbackLogger = void (*)(std::string_view where, std::string_view what) noexcept;
void set_callback_logger(CallbackLogger logger) noexcept;

void log_callback_fault(std::string_view where, std::string_view what) noexcept;

// Runs `work` and returns its result; on an exception logs it with `where`
// and returns `fallback`.
template <typename Result, typename Work>
Result guarded(const char* where, Result fallback, Work&& work) noexcept {
  const CallbackTiming timing(where);
  try {
    return std::forward<Work>(work)();
  } catch (const std::exception& error) {
    log_callback_fault(where, error.what());
  } catch (...) {
    log_callback_fault(where, "unknown exception");
  }
  return fallback;
}

// The same for work without a result; false when the work did not finish.
template <typename Work>
bool guarded(const char* where, Work&& work) noexcept {
  return guarded<bool>(where, false, [&] {
    std::forward<Work>(work)();
    return true;
  });
}

}  // namespace vek::base
