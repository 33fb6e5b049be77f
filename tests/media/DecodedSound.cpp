#include "DecodedSound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "base/glib/GstHandles.h"
#include "media/gst/Pipeline.h"
#include "support/Process.h"

namespace vek::media::testing {
namespace {

constexpr int kRate = 48000;  // both decoders resample to this, so both sounds compare sample for sample
constexpr GstClockTime kPullTimeout = 60 * GST_SECOND;

// Appends one decoded buffer, its samples timed from the buffer's stream time.
void append_buffer(GstSample* sample, Sound& sound) {
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  const GstSegment* segment = gst_sample_get_segment(sample);
  GstMapInfo map;
  if (!GST_BUFFER_PTS_IS_VALID(buffer) || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    ADD_FAILURE() << "an untimed or unreadable sound buffer";
    return;
  }
  const GstClockTime stream = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
  const double start = static_cast<double>(stream) / GST_SECOND;
  const std::size_t count = map.size / sizeof(float);
  const std::size_t first = sound.samples.size();
  sound.samples.resize(first + count);
  std::memcpy(sound.samples.data() + first, map.data, count * sizeof(float));
  for (std::size_t i = 0; i < count; ++i) {
    sound.seconds.push_back(start + static_cast<double>(i) / kRate);
  }
  gst_buffer_unmap(buffer, &map);
}

}  // namespace

std::optional<Sound> sound_by_gstreamer(const std::filesystem::path& file) {
  std::string error;
  const Pipeline decode = Pipeline::parse(
      "filesrc name=src ! qtdemux name=demux demux.audio_0 ! queue ! decodebin ! audioconvert ! audioresample ! "
      "audio/x-raw,format=F32LE,channels=1,rate=48000,layout=interleaved ! appsink name=sink sync=false",
      error);
  if (!decode) {
    ADD_FAILURE() << error;
    return std::nullopt;
  }
  g_object_set(decode.child("src").get(), "location", file.c_str(), nullptr);
  gst_element_set_state(decode.get(), GST_STATE_PLAYING);
  Sound sound{kRate, {}, {}};
  for (;;) {
    const base::SamplePtr sample = pull_sample(decode, "sink", kPullTimeout, error);
    if (!sample) {
      break;
    }
    append_buffer(sample.get(), sound);
  }
  if (error != "no output") {
    ADD_FAILURE() << "decoding the sound of " << file << ": " << error;
    return std::nullopt;
  }
  return sound;
}

std::optional<Sound> sound_by_ffmpeg(const std::filesystem::path& file) {
  const test::RunResult run =
      test::run_process({"ffmpeg", "-nostdin", "-v", "error", "-i", file.string(), "-map", "0:a:0", "-f", "f32le",
                         "-ac", "1", "-ar", std::to_string(kRate), "-"});
  if (!run.ok()) {
    ADD_FAILURE() << "ffmpeg: " << run.describe();
    return std::nullopt;
  }
  Sound sound{kRate, std::vector<float>(run.out.size() / sizeof(float)), {}};
  std::memcpy(sound.samples.data(), run.out.data(), sound.samples.size() * sizeof(float));
  for (std::size_t i = 0; i < sound.samples.size(); ++i) {
    sound.seconds.push_back(static_cast<double>(i) / kRate);
  }
  return sound;
}

std::vector<double> burst_onsets(const Sound& sound, float level, double quiet) {
  std::vector<double> onsets;
  double last_loud = -quiet - 1;
  for (std::size_t i = 0; i < sound.samples.size(); ++i) {
    if (std::fabs(sound.samples[i]) > level) {
      if (sound.seconds[i] - last_loud >= quiet) {
        onsets.push_back(sound.seconds[i]);
      }
      last_loud = sound.seconds[i];
    }
  }
  return onsets;
}

}  // namespace vek::media::testing
