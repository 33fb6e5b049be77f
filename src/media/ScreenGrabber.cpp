#include "media/ScreenGrabber.h"

#include <gst/app/gstappsink.h>

#include <algorithm>

#include "media/Pipeline.h"

namespace vek::media {
namespace {

// A still has no cursor in it; one buffer, then end of stream.
constexpr const char* kScreenPipeline =
    "ximagesrc name=source use-damage=false show-pointer=false num-buffers=1 ! videoconvert ! "
    "video/x-raw,format=RGB ! appsink name=sink sync=false";
constexpr GstClockTime kCaptureTimeout = 10 * GST_SECOND;  // one X11 image takes milliseconds

ScreenRect on_screen_part(const ScreenRect& area) {
  ScreenRect part = area;
  part.x = std::max(area.x, 0);
  part.y = std::max(area.y, 0);
  part.width = area.width - (part.x - area.x);
  part.height = area.height - (part.y - area.y);
  return part;
}

void select_area(GstElement* source, const ScreenRect& area) {
  g_object_set(source, "startx", static_cast<guint>(area.x), "starty", static_cast<guint>(area.y), "endx",
               static_cast<guint>(area.x + area.width - 1), "endy", static_cast<guint>(area.y + area.height - 1),
               nullptr);
}

}  // namespace

RawFrame grab_screen(const ScreenRect& area) {
  const ScreenRect part = on_screen_part(area);
  if (part.width <= 0 || part.height <= 0) {
    return {nullptr, "the area is empty"};
  }
  std::string error;
  Pipeline pipeline = Pipeline::parse(kScreenPipeline, error);
  if (!pipeline) {
    return {nullptr, error};
  }
  select_area(pipeline.child("source").get(), part);
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    return {nullptr, "capturing the screen: " + failure_text(pipeline.wait(GST_MESSAGE_ERROR, 0).get())};
  }
  const MessagePtr message = pipeline.wait(GST_MESSAGE_EOS, kCaptureTimeout);
  if (message == nullptr || GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS) {
    return {nullptr, "capturing the screen: " + failure_text(message.get())};
  }
  const ElementPtr sink = pipeline.child("sink");
  SamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 0));
  if (sample == nullptr) {
    return {nullptr, "capturing the screen: no image"};
  }
  return {std::move(sample), {}};
}

}  // namespace vek::media
