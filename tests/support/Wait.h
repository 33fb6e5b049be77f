#pragma once
// Waiting on an observable condition instead of sleeping a fixed time.

#include <chrono>
#include <thread>

namespace vek::test {

// Polls `done` until it holds or `timeout` passes; true when it held.
template <typename Condition>
bool wait_until(Condition done, std::chrono::milliseconds timeout,
                std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    std::this_thread::sleep_for(poll);
  }
  return true;
}

}  // namespace vek::test
