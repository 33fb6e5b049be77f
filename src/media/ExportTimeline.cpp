#include "media/ExportTimeline.h"

#include <gst/pbutils/pbutils.h>

namespace vek::media {
namespace {

constexpr int kExportFrameRate = 30;  // the cameras record 30 frames per second

bool asset_has_audio(GESUriClipAsset* asset) {
  GstDiscovererInfo* info = ges_uri_clip_asset_get_info(asset);
  if (info == nullptr) {
    return false;
  }
  GList* streams = gst_discoverer_info_get_audio_streams(info);
  const bool found = streams != nullptr;
  gst_discoverer_stream_info_list_free(streams);
  return found;
}

void add_tracks(GESTimeline* timeline, int width, int height, bool with_audio) {
  GESVideoTrack* video = ges_video_track_new();
  const base::CapsPtr restriction(gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width, "height", G_TYPE_INT,
                                                height, "framerate", GST_TYPE_FRACTION, kExportFrameRate, 1,
                                                "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
  ges_track_set_restriction_caps(GES_TRACK(video), restriction.get());
  ges_timeline_add_track(timeline, GES_TRACK(video));
  if (with_audio) {
    ges_timeline_add_track(timeline, GES_TRACK(ges_audio_track_new()));
  }
}

}  // namespace

ExportTimeline build_export_timeline(const std::vector<AssetPtr>& clips, int width, int height) {
  ExportTimeline result;
  std::vector<GESUriClipAsset*> assets;
  for (const auto& clip : clips) {
    if (clip != nullptr) {
      result.has_audio = result.has_audio || asset_has_audio(clip.get());
      assets.push_back(clip.get());
    }
  }
  if (assets.empty()) {
    return result;
  }
  result.timeline = base::adopt_sunk(ges_timeline_new());
  add_tracks(result.timeline.get(), width, height, result.has_audio);
  GESLayer* layer = ges_timeline_append_layer(result.timeline.get());
  for (GESUriClipAsset* asset : assets) {
    const GstClockTime duration = ges_uri_clip_asset_get_duration(asset);
    if (ges_layer_add_asset(layer, GES_ASSET(asset), result.duration, 0, duration, GES_TRACK_TYPE_UNKNOWN) ==
        nullptr) {
      continue;
    }
    result.duration += duration;
    ++result.clip_count;
  }
  return result;
}

}  // namespace vek::media
