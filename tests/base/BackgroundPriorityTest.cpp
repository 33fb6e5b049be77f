// Background readers give way to the window: the thread that asks is
// lowered, the window's thread that started it is not.

#include "base/threads/BackgroundPriority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <thread>

namespace vek::base {
namespace {

int nice_of_current_thread() {
  return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

TEST(BackgroundPriority, LowersOnlyTheCallingThread) {
  const int window_nice = nice_of_current_thread();
  if (window_nice > 0) GTEST_SKIP() << "run from a lowered process: no interactive priority to compare with";
  int reader_nice = window_nice;
  std::thread reader([&] {
    lower_current_thread_priority();
    reader_nice = nice_of_current_thread();
  });
  reader.join();
  EXPECT_GT(reader_nice, window_nice);
  EXPECT_EQ(nice_of_current_thread(), window_nice) << "the calling thread alone is lowered";
}

}  // namespace
}  // namespace vek::base
