#pragma once
// GStreamer-backed media for the application. gst_init() and ges_init() must
// have run, and a GLib main loop must be running on the main thread: progress
// reaches the main thread through it.

#include <memory>

#include "media/core/MediaPorts.h"

namespace vek::media {

std::unique_ptr<Snapshotter> make_snapshotter();
std::unique_ptr<Exporter> make_exporter();
std::unique_ptr<ScreenRecorder> make_screen_recorder();

}  // namespace vek::media
