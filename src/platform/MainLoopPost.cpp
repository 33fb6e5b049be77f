#include "platform/MainLoopPost.h"

#include <glib.h>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

gboolean run_task(gpointer data) {
  base::guarded("main-thread task", [data] { (*static_cast<std::function<void()>*>(data))(); });
  return G_SOURCE_REMOVE;
}

void delete_task(gpointer data) {
  delete static_cast<std::function<void()>*>(data);
}

}  // namespace

void MainLoopPost::post(std::function<void()> task) {
  g_idle_add_full(G_PRIORITY_DEFAULT, run_task, new std::function<void()>(std::move(task)), delete_task);
}

}  // namespace vek::platform
