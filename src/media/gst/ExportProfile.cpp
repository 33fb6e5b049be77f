#include "media/gst/ExportProfile.h"

namespace vek::media {
namespace {

// The export re-encodes everything, so the H.264 preset decides its time:
// "veryfast" keeps dash-camera footage sharp at a fraction of "medium"'s cost.
// By number (3 is veryfast): the preset's enum type exists only once x264enc
// has been loaded, and the name as a plain string is refused with a warning.
// 8 Mbit/s, as dash cameras record 1080p: x264enc's default of 2 Mbit/s
// smears road detail and number plates.
constexpr const char* kEncoderSettings =
    "element-properties-map, map={[x264enc, speed-preset=(int)3, bitrate=(uint)8000]}";
// 4:2:0 keeps the H.264 stream in a profile that every player decodes.
constexpr const char* kVideoInput = "video/x-raw,format=I420";

GstEncodingProfile* video_profile() {
  const base::CapsPtr format(gst_caps_from_string("video/x-h264"));
  const base::CapsPtr input(gst_caps_from_string(kVideoInput));
  GstEncodingProfile* video =
      GST_ENCODING_PROFILE(gst_encoding_video_profile_new(format.get(), nullptr, input.get(), 0));
  gst_encoding_profile_set_element_properties(video, gst_structure_from_string(kEncoderSettings, nullptr));
  return video;
}

GstEncodingProfile* audio_profile() {
  const base::CapsPtr format(gst_caps_from_string("audio/mpeg,mpegversion=4"));
  return GST_ENCODING_PROFILE(gst_encoding_audio_profile_new(format.get(), nullptr, nullptr, 0));
}

}  // namespace

ProfilePtr make_export_profile(bool with_audio) {
  const base::CapsPtr container_format(gst_caps_from_string("video/quicktime,variant=apple"));
  GstEncodingContainerProfile* container =
      gst_encoding_container_profile_new("vek-export", nullptr, container_format.get(), nullptr);
  gst_encoding_container_profile_add_profile(container, video_profile());
  if (with_audio) {
    gst_encoding_container_profile_add_profile(container, audio_profile());
  }
  return ProfilePtr(GST_ENCODING_PROFILE(container));
}

}  // namespace vek::media
