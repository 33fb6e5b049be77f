#include "media/gst/PngFile.h"

#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>

#include "base/files/Publisher.h"
#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

// Snapshots favour speed over size: level 1 is several times faster than the
// default and only slightly larger.
constexpr const char* kPngPipeline =
    "appsrc name=source format=time ! pngenc compression-level=1 snapshot=true ! appsink name=sink sync=false";
constexpr GstClockTime kEncodeTimeout = 10 * GST_SECOND;  // a 1080p frame encodes in about 0.1 s

base::SamplePtr encode_png(GstSample* raw, std::string& error) {
  Pipeline pipeline = Pipeline::parse(kPngPipeline, error);
  if (!pipeline) {
    return nullptr;
  }
  const base::ElementPtr source = pipeline.child("source");
  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    error = "encoding the PNG: cannot start";
    return nullptr;
  }
  gst_app_src_push_sample(GST_APP_SRC(source.get()), raw);
  gst_app_src_end_of_stream(GST_APP_SRC(source.get()));
  base::SamplePtr png = pull_sample(pipeline, "sink", kEncodeTimeout, error);
  if (png == nullptr) {
    error = "encoding the PNG: " + error;
  }
  return png;
}

std::string write_bytes(GstBuffer* buffer, const std::filesystem::path& path) {
  const base::MappedBuffer map(buffer, GST_MAP_READ);
  if (!map) {
    return "cannot read the encoded PNG";
  }
  const std::span<const std::byte> bytes = map.bytes();
  base::FileError error;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!base::publish_file(path, text, base::PublishMode::Replace, &error)) {
    return "writing the PNG: " + error.message + " (" + error.detail + ")";
  }
  return {};
}

}  // namespace

PictureSize picture_size(GstSample* raw) {
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(raw);
  if (caps == nullptr || !gst_video_info_from_caps(&info, caps)) {
    return {};
  }
  return {GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info)};
}

std::string write_png(GstSample* raw, const std::filesystem::path& path) {
  std::string error;
  const base::SamplePtr png = encode_png(raw, error);
  if (png == nullptr) {
    return error;
  }
  GstBuffer* buffer = gst_sample_get_buffer(png.get());
  if (buffer == nullptr) {
    return "encoding the PNG: empty output";
  }
  return write_bytes(buffer, path);
}

}  // namespace vek::media
