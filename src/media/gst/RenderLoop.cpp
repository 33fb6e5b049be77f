#include "media/gst/RenderLoop.h"

#include <algorithm>

#include "base/glib/CallbackGuard.h"

namespace vek::media {
namespace {

constexpr guint kProgressIntervalMs = 1000;  // the page shows progress about once a second
constexpr int kFullPercent = 100;

struct RenderRun {
  GMainLoop* loop;
  GstElement* pipeline;
  GstClockTime duration;
  const std::atomic<bool>& cancelled;
  const ProgressRelay& progress;
  ExportStatus outcome = ExportStatus::Failed;
};

void finish(RenderRun& run, ExportStatus outcome) {
  run.outcome = outcome;
  g_main_loop_quit(run.loop);
}

gboolean on_bus_message(GstBus* /*bus*/, GstMessage* message, gpointer data) noexcept {
  base::guarded("export bus", [message, data] {
    auto& run = *static_cast<RenderRun*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
      finish(run, ExportStatus::Completed);
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      g_warning("merge: %s", failure_text(message).c_str());
      finish(run, ExportStatus::Failed);
    }
  });
  return G_SOURCE_CONTINUE;
}

int percent_done(const RenderRun& run) {
  gint64 position = 0;
  if (run.duration == 0 || !gst_element_query_position(run.pipeline, GST_FORMAT_TIME, &position) || position < 0) {
    return 0;
  }
  const guint64 percent = gst_util_uint64_scale(static_cast<guint64>(position), kFullPercent, run.duration);
  return static_cast<int>(std::min<guint64>(percent, kFullPercent));
}

gboolean on_tick(gpointer data) noexcept {
  base::guarded("export progress tick", [data] {
    auto& run = *static_cast<RenderRun*>(data);
    if (run.cancelled.load()) {
      finish(run, ExportStatus::Cancelled);
    } else {
      run.progress.post(percent_done(run));
    }
  });
  return G_SOURCE_CONTINUE;
}

}  // namespace

ExportStatus run_render(const Pipeline& pipeline, GMainContext* context, GstClockTime duration,
                        const std::atomic<bool>& cancelled, const ProgressRelay& progress) {
  const base::GMainLoopPtr loop(g_main_loop_new(context, FALSE));
  RenderRun run{loop.get(), pipeline.get(), duration, cancelled, progress};
  const base::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst_bus_add_watch(bus.get(), on_bus_message, &run);
  const base::GSourcePtr tick(g_timeout_source_new(kProgressIntervalMs));
  g_source_set_callback(tick.get(), on_tick, &run, nullptr);
  g_source_attach(tick.get(), context);
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
    g_main_loop_run(loop.get());
  } else {
    g_warning("merge: the render pipeline does not start");
  }
  gst_bus_remove_watch(bus.get());
  return run.outcome;
}

}  // namespace vek::media
