#include "base/threads/BackgroundPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace vek::base {
namespace {

// Niceness of background reading: below every interactive thread, above the
// idle class so it still progresses on a busy machine.
constexpr int kBackgroundNice = 10;

}  // namespace

void lower_current_thread_priority() {
  // On Linux a thread id names that thread alone for setpriority.
  static_cast<void>(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice));
}

}  // namespace vek::base
