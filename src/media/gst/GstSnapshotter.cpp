#include "media/gst/GstSnapshotter.h"

#include "media/gst/FrameGrabber.h"
#include "media/gst/PngFile.h"
#include "media/gst/ScreenGrabber.h"

namespace vek::media {

FrameResult GstSnapshotter::save_frame(const std::string& uri, std::int64_t value, std::int32_t timescale,
                                       const std::filesystem::path& png_path) {
  if (timescale <= 0) {
    return {"invalid time scale " + std::to_string(timescale), 0, 0};
  }
  // A time before the start asks for the first frame.
  const auto ticks = static_cast<guint64>(value > 0 ? value : 0);
  const GstClockTime at = gst_util_uint64_scale(ticks, GST_SECOND, static_cast<guint64>(timescale));
  const RawFrame frame = grab_frame(uri, at);
  if (frame.sample == nullptr) {
    return {frame.error, 0, 0};
  }
  const PictureSize size = picture_size(frame.sample.get());
  std::string error = write_png(frame.sample.get(), png_path);
  if (!error.empty()) {
    return {std::move(error), size.width, size.height};
  }
  return {{}, size.width, size.height};
}

bool GstSnapshotter::save_screen_area(const ScreenRect& area, const std::filesystem::path& png_path) {
  const RawFrame frame = grab_screen(area);
  if (frame.sample == nullptr) {
    g_warning("window snapshot: %s", frame.error.c_str());
    return false;
  }
  const std::string error = write_png(frame.sample.get(), png_path);
  if (!error.empty()) {
    g_warning("window snapshot: %s", error.c_str());
    return false;
  }
  return true;
}

}  // namespace vek::media
