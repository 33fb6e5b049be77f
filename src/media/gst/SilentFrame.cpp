#include "media/gst/SilentFrame.h"

#include <string>

#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

constexpr GstClockTime kEncodeTimeout = 10 * GST_SECOND;  // a few frames, even on a loaded machine
// The encoder's first frames carry its start-up delay; later ones are plain silence.
constexpr int kFramesEncoded = 4;

Pipeline silence_encoder(int rate, int channels, std::string& error) {
  const std::string description =
      "audiotestsrc wave=silence samplesperbuffer=1024 num-buffers=" + std::to_string(kFramesEncoded) +
      " ! audio/x-raw,rate=" + std::to_string(rate) + ",channels=" + std::to_string(channels) +
      " ! audioconvert ! avenc_aac ! appsink name=sink sync=false";
  return Pipeline::parse(description.c_str(), error);
}

}  // namespace

base::BufferPtr silent_aac_frame(const GstCaps* sound) {
  int rate = 0;
  int channels = 0;
  const GstStructure* format =
      sound != nullptr && gst_caps_get_size(sound) > 0 ? gst_caps_get_structure(sound, 0) : nullptr;
  const char* profile = format != nullptr ? gst_structure_get_string(format, "profile") : nullptr;
  // The encoder writes plain AAC-LC frames; other profiles get no silence.
  if (format == nullptr || (profile != nullptr && g_strcmp0(profile, "lc") != 0) ||
      !gst_structure_get_int(format, "rate", &rate) || !gst_structure_get_int(format, "channels", &channels)) {
    return nullptr;
  }
  std::string error;
  const Pipeline encoder = silence_encoder(rate, channels, error);
  if (!encoder) {
    g_warning("export: no AAC encoder for silence (%s)", error.c_str());
    return nullptr;
  }
  gst_element_set_state(encoder.get(), GST_STATE_PLAYING);
  base::BufferPtr last;
  while (const base::SamplePtr sample = pull_sample(encoder, "sink", kEncodeTimeout, error)) {
    last.reset(gst_buffer_ref(gst_sample_get_buffer(sample.get())));
  }
  if (error != "no output" || last == nullptr) {
    g_warning("export: silence could not be encoded (%s)", error.c_str());
    return nullptr;
  }
  return last;
}

}  // namespace vek::media
