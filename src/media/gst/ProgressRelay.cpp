#include "media/gst/ProgressRelay.h"

#include <glib.h>

#include "base/glib/CallbackGuard.h"

namespace vek::media {

struct ProgressTarget {
  Exporter::Progress callback;
  bool open = true;  // read and written on the main thread only
};

namespace {

struct Delivery {
  std::shared_ptr<ProgressTarget> target;
  int percent;
};

gboolean deliver(gpointer data) noexcept {
  base::guarded("export progress", [data] {
    const auto* delivery = static_cast<const Delivery*>(data);
    if (delivery->target->open && delivery->target->callback) {
      delivery->target->callback(delivery->percent);
    }
  });
  return G_SOURCE_REMOVE;
}

void discard(gpointer data) noexcept {
  delete static_cast<Delivery*>(data);
}

}  // namespace

ProgressRelay::ProgressRelay(Exporter::Progress callback)
    : target_(std::make_shared<ProgressTarget>(ProgressTarget{std::move(callback), true})) {}

void ProgressRelay::post(int percent) const {
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, deliver, new Delivery{target_, percent}, discard);
}

void ProgressRelay::close() noexcept {
  target_->open = false;
}

}  // namespace vek::media
