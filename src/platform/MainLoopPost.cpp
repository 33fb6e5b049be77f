#include "platform/MainLoopPost.h"

#include <glib.h>

#include <algorithm>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

gboolean run_task(gpointer data) {
  base::guarded("main-thread task", [data] { (*static_cast<std::function<void()>*>(data))(); });
  return G_SOURCE_REMOVE;
}

gboolean run_timer_task(gpointer data) {
  base::guarded("main-thread timer", [data] { (*static_cast<std::function<void()>*>(data))(); });
  return G_SOURCE_REMOVE;
}

void delete_task(gpointer data) {
  delete static_cast<std::function<void()>*>(data);
}

}  // namespace

void MainLoopPost::post(std::function<void()> task) {
  g_idle_add_full(G_PRIORITY_DEFAULT, run_task, new std::function<void()>(std::move(task)), delete_task);
}

void MainLoopPost::post_after(std::chrono::milliseconds delay, std::function<void()> task) {
  const auto interval = static_cast<guint>(std::max<std::chrono::milliseconds::rep>(0, delay.count()));
  g_timeout_add_full(G_PRIORITY_DEFAULT, interval, run_timer_task, new std::function<void()>(std::move(task)),
                     delete_task);
}

}  // namespace vek::platform
