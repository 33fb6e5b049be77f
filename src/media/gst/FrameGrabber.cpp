#include "media/gst/FrameGrabber.h"

#include <gst/app/gstappsink.h>

#include <algorithm>

#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

// The second videoconvert feeds videoflip's output to the RGB caps; flipping
// follows the clip's image-orientation tag.
constexpr const char* kFramePipeline =
    "uridecodebin name=source ! videoconvert ! videoflip video-direction=auto ! videoconvert ! "
    "video/x-raw,format=RGB ! appsink name=sink sync=false";
constexpr GstClockTime kOpenTimeout = 15 * GST_SECOND;    // a local clip prerolls in well under a second
constexpr GstClockTime kDecodeTimeout = 15 * GST_SECOND;  // decoding from the previous key frame
constexpr GstClockTime kEndMargin = 20 * GST_MSECOND;     // lands inside the last frame up to 50 frames/s

constexpr auto kPrerolled = static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_EOS);

GstClockTime clamp_into_clip(const Pipeline& pipeline, GstClockTime at) {
  gint64 duration = 0;
  if (!gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &duration) || duration <= 0) {
    return at;
  }
  const auto length = static_cast<GstClockTime>(duration);
  return std::min<GstClockTime>(at, length > kEndMargin ? length - kEndMargin : 0);
}

// Waits for the pipeline to preroll; an empty text when it did.
std::string await_preroll(const Pipeline& pipeline, GstClockTime timeout, const char* what) {
  const base::MessagePtr message = pipeline.wait(kPrerolled, timeout);
  if (message != nullptr && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ASYNC_DONE) {
    return {};
  }
  if (message != nullptr && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS) {
    return std::string(what) + ": no video frame";
  }
  return std::string(what) + ": " + failure_text(message.get());
}

RawFrame seek_and_pull(const Pipeline& pipeline, GstClockTime at) {
  const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
  if (!gst_element_seek_simple(pipeline.get(), GST_FORMAT_TIME, flags, static_cast<gint64>(at))) {
    return {nullptr, "the clip cannot seek"};
  }
  std::string error = await_preroll(pipeline, kDecodeTimeout, "decoding the frame");
  if (!error.empty()) {
    return {nullptr, error};
  }
  const base::ElementPtr sink = pipeline.child("sink");
  base::SamplePtr sample(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), 0));
  if (sample == nullptr) {
    return {nullptr, "no video frame at that time"};
  }
  return {std::move(sample), {}};
}

}  // namespace

RawFrame grab_frame(const std::string& uri, GstClockTime at) {
  if (!gst_uri_is_valid(uri.c_str())) {
    return {nullptr, "not a URL: " + uri};
  }
  std::string error;
  Pipeline pipeline = Pipeline::parse(kFramePipeline, error);
  if (!pipeline) {
    return {nullptr, error};
  }
  g_object_set(pipeline.child("source").get(), "uri", uri.c_str(), nullptr);
  if (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    return {nullptr, "opening the clip: " + failure_text(pipeline.wait(GST_MESSAGE_ERROR, 0).get())};
  }
  error = await_preroll(pipeline, kOpenTimeout, "opening the clip");
  if (!error.empty()) {
    return {nullptr, error};
  }
  return seek_and_pull(pipeline, clamp_into_clip(pipeline, at));
}

}  // namespace vek::media
