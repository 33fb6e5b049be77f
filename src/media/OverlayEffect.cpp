#include "media/OverlayEffect.h"

#include <gst/video/video.h>

#include "base/glib/CallbackGuard.h"
#include "base/glib/GObjectRef.h"
#include "base/glib/GstHandles.h"

namespace vek::media {
namespace {

constexpr const char* kOverlayFactory = "overlaycomposition";
// The clip is scaled to the export's frame before the band is drawn, so the
// text is drawn at the size it is seen in, not upscaled with the picture;
// borders keep a clip of another shape undistorted.
constexpr const char* kOverlayBin =
    "videoscale add-borders=true ! video/x-raw,width=1920,height=1080,pixel-aspect-ratio=1/1 ! overlaycomposition";

struct DrawTarget {
  OverlayComposer* composer;
  std::size_t clip_index;
};

// Inside the clip's source the frames carry the clip's own times (from its
// in point), which is what the page's lookup takes.
double clip_seconds(GstSample* sample) {
  const GstBuffer* buffer = gst_sample_get_buffer(sample);
  const GstSegment* segment = gst_sample_get_segment(sample);
  if (buffer == nullptr || !GST_BUFFER_PTS_IS_VALID(buffer)) {
    return -1;
  }
  guint64 stream_time = GST_BUFFER_PTS(buffer);
  if (segment != nullptr && segment->format == GST_FORMAT_TIME) {
    stream_time = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
  }
  return stream_time == GST_CLOCK_TIME_NONE ? -1 : static_cast<double>(stream_time) / GST_SECOND;
}

GstVideoOverlayComposition* on_draw(GstElement* /*element*/, GstSample* sample, gpointer data) noexcept {
  return base::guarded<GstVideoOverlayComposition*>("export overlay", nullptr, [sample, data] {
    const auto* target = static_cast<const DrawTarget*>(data);
    GstVideoInfo info;
    const double time = clip_seconds(sample);
    if (time < 0 || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) {
      return static_cast<GstVideoOverlayComposition*>(nullptr);
    }
    return target->composer->compose(target->clip_index, time, GST_VIDEO_INFO_WIDTH(&info),
                                     GST_VIDEO_INFO_HEIGHT(&info));
  });
}

void free_target(gpointer data, GClosure* /*closure*/) noexcept { delete static_cast<DrawTarget*>(data); }

bool is_overlay(GstElement* element) {
  GstElementFactory* factory = gst_element_get_factory(element);
  return factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), kOverlayFactory) == 0;
}

// The overlaycomposition element: the effect's element itself or inside its bin.
base::ElementPtr find_overlay(GstElement* effect) {
  if (effect == nullptr) {
    return nullptr;
  }
  if (is_overlay(effect)) {
    return base::ElementPtr(GST_ELEMENT(gst_object_ref(effect)));
  }
  if (!GST_IS_BIN(effect)) {
    return nullptr;
  }
  GstIterator* children = gst_bin_iterate_recurse(GST_BIN(effect));
  GValue found = G_VALUE_INIT;
  const auto matches = [](gconstpointer value, gconstpointer) -> gint {
    return is_overlay(GST_ELEMENT(g_value_get_object(static_cast<const GValue*>(value)))) ? 0 : 1;
  };
  base::ElementPtr overlay;
  if (gst_iterator_find_custom(children, matches, &found, nullptr)) {
    overlay.reset(GST_ELEMENT(g_value_dup_object(&found)));
    g_value_unset(&found);
  }
  gst_iterator_free(children);
  return overlay;
}

}  // namespace

bool add_overlay_effect(GESClip* clip, std::size_t clip_index, OverlayComposer& composer) {
  GESEffect* effect = ges_effect_new(kOverlayBin);
  if (effect == nullptr || !ges_container_add(GES_CONTAINER(clip), GES_TIMELINE_ELEMENT(effect))) {
    return false;
  }
  base::ElementPtr overlay = find_overlay(ges_track_element_get_element(GES_TRACK_ELEMENT(effect)));
  if (!overlay) {
    return false;
  }
  g_signal_connect_data(overlay.get(), "draw", G_CALLBACK(on_draw), new DrawTarget{&composer, clip_index},
                        free_target, GConnectFlags{});
  return true;
}

}  // namespace vek::media
