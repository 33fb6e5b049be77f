#include "media/MediaFactory.h"

#include "media/GstExporter.h"
#include "media/GstScreenRecorder.h"
#include "media/GstSnapshotter.h"

namespace vek::media {

std::unique_ptr<Snapshotter> make_snapshotter() { return std::make_unique<GstSnapshotter>(); }

std::unique_ptr<Exporter> make_exporter() { return std::make_unique<GstExporter>(); }

std::unique_ptr<ScreenRecorder> make_screen_recorder() { return std::make_unique<GstScreenRecorder>(); }

}  // namespace vek::media
