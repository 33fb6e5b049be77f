#pragma once
// Runs a render pipeline to its end on the calling thread's own main context.

#include <gst/gst.h>

#include <atomic>

#include "media/core/MediaPorts.h"
#include "media/gst/Pipeline.h"
#include "media/gst/ProgressRelay.h"

namespace vek::media {

// Plays `pipeline` until end of stream (Completed), an error (Failed) or
// `cancelled` turns true (Cancelled, noticed within a progress interval).
// Posts the position against `duration` as a percentage about once a second.
// `context` must be the calling thread's default main context.
ExportStatus run_render(const Pipeline& pipeline, GMainContext* context, GstClockTime duration,
                        const std::atomic<bool>& cancelled, const ProgressRelay& progress);

}  // namespace vek::media
