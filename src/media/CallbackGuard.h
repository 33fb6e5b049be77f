#pragma once
// Every function that GLib or GStreamer calls back (bus watches, idle and
// timeout sources, thread bodies) runs its work through this guard, so that no
// exception unwinds into C code.

#include <glib.h>

#include <exception>
#include <utility>

namespace vek::media {

// Runs `work` and returns its result; on an exception logs it with `where`
// and returns `fallback`.
template <typename Result, typename Work>
Result guarded(const char* where, Result fallback, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (const std::exception& error) {
    g_warning("%s: %s", where, error.what());
  } catch (...) {
    g_warning("%s: unknown exception", where);
  }
  return fallback;
}

// The same for work without a result.
template <typename Work>
void guarded(const char* where, Work&& work) noexcept {
  guarded<bool>(where, false, [&] {
    std::forward<Work>(work)();
    return true;
  });
}

}  // namespace vek::media
