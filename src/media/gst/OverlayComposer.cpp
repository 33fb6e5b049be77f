#include "media/gst/OverlayComposer.h"

#include <cairo.h>

#include <cmath>
#include <memory>

#include "media/gst/OverlayPainter.h"

namespace vek::media {
namespace {

struct SurfaceDestroy {
  void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
struct CairoDestroy {
  void operator()(cairo_t* cr) const noexcept { cairo_destroy(cr); }
};

}  // namespace

OverlayComposer::OverlayComposer(drive::DriveOverlayModel model, drive::OverlayElements elements)
    : model_(std::move(model)), elements_(elements) {}

OverlayComposer::~OverlayComposer() {
  if (last_ != nullptr) {
    gst_video_overlay_composition_unref(last_);
  }
}

GstVideoOverlayComposition* OverlayComposer::compose(std::size_t clip, double clip_time, int width, int height) {
  const std::lock_guard lock(mutex_);
  const std::optional<drive::ClipPoint> point = drive::ClipPoint{clip, clip_time};
  const auto sample = model_.sample_at(point);
  if (last_ == nullptr || last_size_ != std::pair{width, height} || last_sample_ != sample) {
    if (last_ != nullptr) {
      gst_video_overlay_composition_unref(last_);
    }
    last_ = paint(model_.at_clip(point), drive::band_layout(width, height, elements_));
    last_size_ = {width, height};
    last_sample_ = sample;
  }
  return last_ == nullptr ? nullptr : gst_video_overlay_composition_ref(last_);
}

// The band as one premultiplied ARGB rectangle, which the element blends
// into the frame in its own format: no conversion of the whole picture.
GstVideoOverlayComposition* OverlayComposer::paint(const drive::FrameReadings& readings,
                                                   const drive::BandLayout& layout) const {
  const int band_width = static_cast<int>(std::lround(layout.band.width));
  const int band_height = static_cast<int>(std::lround(layout.band.height));
  if (layout.elements.empty() || band_width <= 0 || band_height <= 0) {
    return nullptr;
  }
  const auto width = static_cast<guint>(band_width);
  const auto height = static_cast<guint>(band_height);
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, gsize{width} * height * 4, nullptr);
  gst_buffer_add_video_meta(buffer, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_OVERLAY_COMPOSITION_FORMAT_RGB, width, height);
  GstMapInfo map;
  gst_buffer_map(buffer, &map, GST_MAP_WRITE);
  {
    const std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_image_surface_create_for_data(map.data, CAIRO_FORMAT_ARGB32, band_width, band_height, band_width * 4));
    const std::unique_ptr<cairo_t, CairoDestroy> cr(cairo_create(surface.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    paint_band(cr.get(), layout, readings, model_.route());
    cairo_surface_flush(surface.get());
  }
  gst_buffer_unmap(buffer, &map);
  GstVideoOverlayRectangle* rectangle =
      gst_video_overlay_rectangle_new_raw(buffer, 0, static_cast<gint>(std::lround(layout.band.y)), width, height,
                                          GST_VIDEO_OVERLAY_FORMAT_FLAG_PREMULTIPLIED_ALPHA);
  gst_buffer_unref(buffer);
  GstVideoOverlayComposition* composition = gst_video_overlay_composition_new(rectangle);
  gst_video_overlay_rectangle_unref(rectangle);
  return composition;
}

}  // namespace vek::media
