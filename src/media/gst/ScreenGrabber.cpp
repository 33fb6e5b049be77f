#include "media/gst/ScreenGrabber.h"

#include "media/gst/FrameCrop.h"
#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

// The whole screen is captured and the area cut out afterwards: ximagesrc
// falls back to the whole screen when an area reaches past the screen's edge,
// and asking it for the screen's size first costs a second X connection,
// which fails now and then when opened right after the first. A still has no
// cursor in it; one buffer, then end of stream.
constexpr const char* kScreenPipeline =
    "ximagesrc use-damage=false show-pointer=false num-buffers=1 ! videoconvert ! "
    "video/x-raw,format=RGB ! appsink name=sink sync=false";
constexpr GstClockTime kCaptureTimeout = 10 * GST_SECOND;  // one X11 image takes milliseconds

bool may_touch_screen(const ScreenRect& area) {
  return area.width > 0 && area.height > 0 && area.x + area.width > 0 && area.y + area.height > 0;
}

}  // namespace

RawFrame grab_screen(const ScreenRect& area) {
  if (!may_touch_screen(area)) {
    return {nullptr, "the area is not on the screen"};
  }
  std::string error;
  Pipeline pipeline = Pipeline::parse(kScreenPipeline, error);
  if (!pipeline) {
    return {nullptr, error};
  }
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    return {nullptr, "capturing the screen: " + failure_text(pipeline.wait(GST_MESSAGE_ERROR, 0).get())};
  }
  const base::SamplePtr screen = pull_sample(pipeline, "sink", kCaptureTimeout, error);
  if (screen == nullptr) {
    return {nullptr, "capturing the screen: " + error};
  }
  base::SamplePtr part = crop_rgb(screen.get(), area);
  if (part == nullptr) {
    return {nullptr, "the area is not on the screen"};
  }
  return {std::move(part), {}};
}

}  // namespace vek::media
