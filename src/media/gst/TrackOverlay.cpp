#include "media/gst/TrackOverlay.h"

#include <gst/video/video.h>

#include "base/glib/CallbackGuard.h"
#include "base/glib/GstHandles.h"

namespace vek::media {
namespace {

struct DrawTarget {
  std::vector<drive::Segment> segments;
  OverlayComposer* composer;
};

// The export's time of a frame leaving the track: the track's stream time.
double export_seconds(GstPad* pad, const GstBuffer* buffer) {
  if (!GST_BUFFER_PTS_IS_VALID(buffer)) {
    return -1;
  }
  guint64 stream_time = GST_BUFFER_PTS(buffer);
  if (GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0)) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format == GST_FORMAT_TIME) {
      stream_time = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    }
    gst_event_unref(event);
  }
  return stream_time == GST_CLOCK_TIME_NONE ? -1 : static_cast<double>(stream_time) / GST_SECOND;
}

void blend(GstVideoOverlayComposition* band, const GstVideoInfo& info, GstBuffer* buffer) {
  GstVideoFrame frame;
  if (gst_video_frame_map(&frame, &info, buffer, GST_MAP_READWRITE)) {
    gst_video_overlay_composition_blend(band, &frame);
    gst_video_frame_unmap(&frame);
  }
}

// The band for the frame's moment, blended into a writable copy of the frame.
void draw(GstPad* pad, GstPadProbeInfo* info, const DrawTarget& target) {
  const double time = export_seconds(pad, GST_PAD_PROBE_INFO_BUFFER(info));
  const std::optional<drive::ClipPoint> point = drive::clip_point_at(target.segments, time);
  const base::CapsPtr caps(gst_pad_get_current_caps(pad));
  GstVideoInfo video;

  if (!point || !caps || !gst_video_info_from_caps(&video, caps.get())) {
    return;
  }
  GstVideoOverlayComposition* band =
      target.composer->compose(point->clip, point->time, GST_VIDEO_INFO_WIDTH(&video), GST_VIDEO_INFO_HEIGHT(&video));
  if (band == nullptr) {
    return;
  }
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  blend(band, video, buffer);
  gst_video_overlay_composition_unref(band);
}

GstPadProbeReturn on_buffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) noexcept {
  base::guarded("export overlay", [pad, info, data] { draw(pad, info, *static_cast<const DrawTarget*>(data)); });
  return GST_PAD_PROBE_OK;
}

void free_target(gpointer data) noexcept {
  delete static_cast<DrawTarget*>(data);
}

void watch_pad(GstPad* pad, const DrawTarget& target) {
  if (GST_PAD_IS_SRC(pad)) {
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, on_buffer, new DrawTarget(target), free_target);
  }
}

void on_pad_added(GstElement* /*track*/, GstPad* pad, gpointer data) noexcept {
  base::guarded("export overlay", [pad, data] { watch_pad(pad, *static_cast<const DrawTarget*>(data)); });
}

void free_closure_target(gpointer data, GClosure* /*closure*/) noexcept {
  free_target(data);
}

GESTrack* video_track(GESTimeline* timeline) {
  GList* tracks = ges_timeline_get_tracks(timeline);
  GESTrack* found = nullptr;
  for (GList* item = tracks; item != nullptr; item = item->next) {
    if (found == nullptr && GES_IS_VIDEO_TRACK(item->data)) {
      found = GES_TRACK(item->data);
    }
  }
  g_list_free_full(tracks, gst_object_unref);
  return found;
}

}  // namespace

// The track's source pad appears once its composition has one, so the probe
// goes on when it does (or now, when it is there already).
bool add_track_overlay(GESTimeline* timeline, std::vector<drive::Segment> segments, OverlayComposer& composer) {
  GESTrack* track = video_track(timeline);
  if (track == nullptr) {
    return false;
  }
  const DrawTarget target{std::move(segments), &composer};
  if (const base::PadPtr pad{gst_element_get_static_pad(GST_ELEMENT(track), "src")}) {
    watch_pad(pad.get(), target);
    return true;
  }
  g_signal_connect_data(track, "pad-added", G_CALLBACK(on_pad_added), new DrawTarget(target), free_closure_target,
                        GConnectFlags{});
  return true;
}

}  // namespace vek::media
