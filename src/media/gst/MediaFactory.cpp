#include "media/gst/MediaFactory.h"

#include "media/gst/GstExporter.h"
#include "media/gst/GstScreenRecorder.h"
#include "media/gst/GstSnapshotter.h"

namespace vek::media {

std::unique_ptr<Snapshotter> make_snapshotter() {
  return std::make_unique<GstSnapshotter>();
}

std::unique_ptr<Exporter> make_exporter() {
  return std::make_unique<GstExporter>();
}

std::unique_ptr<ScreenRecorder> make_screen_recorder() {
  return std::make_unique<GstScreenRecorder>();
}

}  // namespace vek::media
