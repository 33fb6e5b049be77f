#pragma once
// Every GTK signal handler and idle callback of ours runs its work through
// this guard, so that no exception unwinds into C code.

#include <exception>
#include <utility>

#include "platform/SystemLog.h"

namespace vek::platform {

// Runs `work` and returns its result; on an exception logs it with `where`
// and returns `fallback`.
template <typename Result, typename Work>
Result guarded(const char* where, Result fallback, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (const std::exception& error) {
    log_fault(where, error.what());
  } catch (...) {
    log_fault(where, "unknown exception");
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

}  // namespace vek::platform
