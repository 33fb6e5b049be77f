#include "media/gst/FrameCrop.h"

#include <gst/video/video.h>

#include <algorithm>
#include <cstdint>
#include <span>

namespace vek::media {
namespace {

constexpr std::size_t kRgbPixelBytes = 3;

// The one place where a mapped video plane becomes a bounds-checked view.
std::span<std::uint8_t> plane_bytes(const GstVideoFrame& frame) {
  const auto stride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
  const auto rows = static_cast<std::size_t>(GST_VIDEO_FRAME_HEIGHT(&frame));
  return {static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), stride * rows};
}

ScreenRect inside(const ScreenRect& area, const GstVideoInfo& info) {
  ScreenRect part;
  part.x = std::max(area.x, 0);
  part.y = std::max(area.y, 0);
  part.width = std::min(area.x + area.width, GST_VIDEO_INFO_WIDTH(&info)) - part.x;
  part.height = std::min(area.y + area.height, GST_VIDEO_INFO_HEIGHT(&info)) - part.y;
  return part;
}

void copy_rows(const GstVideoFrame& from, const ScreenRect& part, const GstVideoFrame& to) {
  const std::span<std::uint8_t> source = plane_bytes(from);
  const std::span<std::uint8_t> target = plane_bytes(to);
  const auto from_stride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&from, 0));
  const auto to_stride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&to, 0));
  const std::size_t row_bytes = static_cast<std::size_t>(part.width) * kRgbPixelBytes;
  const std::size_t left = static_cast<std::size_t>(part.x) * kRgbPixelBytes;
  for (std::size_t row = 0; row < static_cast<std::size_t>(part.height); ++row) {
    const auto line = source.subspan((static_cast<std::size_t>(part.y) + row) * from_stride + left, row_bytes);
    std::copy(line.begin(), line.end(), target.subspan(row * to_stride, row_bytes).begin());
  }
}

}  // namespace

base::SamplePtr crop_rgb(GstSample* rgb, const ScreenRect& area) {
  GstVideoInfo in;
  if (!gst_video_info_from_caps(&in, gst_sample_get_caps(rgb)) || GST_VIDEO_INFO_FORMAT(&in) != GST_VIDEO_FORMAT_RGB) {
    return nullptr;
  }
  const ScreenRect part = inside(area, in);
  if (part.width <= 0 || part.height <= 0) {
    return nullptr;
  }
  GstVideoInfo out;
  gst_video_info_set_format(&out, GST_VIDEO_FORMAT_RGB, static_cast<guint>(part.width),
                            static_cast<guint>(part.height));
  const base::BufferPtr buffer(gst_buffer_new_allocate(nullptr, out.size, nullptr));
  {
    const base::MappedVideoFrame from(in, gst_sample_get_buffer(rgb), GST_MAP_READ);
    if (!from) {
      return nullptr;
    }
    base::MappedVideoFrame to(out, buffer.get(), GST_MAP_WRITE);
    if (to) {
      copy_rows(from.frame(), part, to.frame());
    }
  }
  const base::CapsPtr caps(gst_video_info_to_caps(&out));
  return base::SamplePtr(gst_sample_new(buffer.get(), caps.get(), nullptr, nullptr));
}

}  // namespace vek::media
