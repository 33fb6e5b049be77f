#include "DecodedFrames.h"

#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "base/glib/GstHandles.h"
#include "media/gst/Pipeline.h"

namespace vek::media::testing {
namespace {

constexpr GstClockTime kFrameTimeout = 120 * GST_SECOND;  // 1080p decoding with sanitizers on a loaded machine

Rgb to_rgb(GstSample* sample) {
  GstVideoInfo info;
  gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
  GstVideoFrame frame;
  Rgb rgb;
  if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
    return rgb;
  }
  rgb.width = GST_VIDEO_INFO_WIDTH(&info);
  rgb.height = GST_VIDEO_INFO_HEIGHT(&info);
  const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
  for (int y = 0; y < rgb.height; ++y) {
    rgb.pixels.insert(rgb.pixels.end(), data + y * stride, data + y * stride + rgb.width * 3);
  }
  gst_video_frame_unmap(&frame);
  return rgb;
}

// Where a decoded frame ends in the movie: its stream time, since the
// demuxer may shift buffer times (e.g. by the reorder delay of B-frames).
double frame_end_seconds(GstSample* sample) {
  const GstBuffer* buffer = gst_sample_get_buffer(sample);
  const GstClockTime at = GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer);
  const GstSegment* segment = gst_sample_get_segment(sample);
  const guint64 stream = segment == nullptr ? at : gst_segment_to_stream_time(segment, GST_FORMAT_TIME, at);
  return static_cast<double>(stream) / GST_SECOND;
}

}  // namespace

std::vector<Rgb> frames_at(const std::filesystem::path& file, const std::vector<double>& times) {
  std::string error;
  const Pipeline decode = Pipeline::parse(
      "filesrc name=src ! decodebin ! videoconvert ! video/x-raw,format=RGB ! appsink name=sink sync=false", error);
  std::vector<Rgb> frames;
  if (!decode) {
    ADD_FAILURE() << error;
    return frames;
  }
  g_object_set(decode.child("src").get(), "location", file.c_str(), nullptr);
  gst_element_set_state(decode.get(), GST_STATE_PLAYING);
  while (frames.size() < times.size()) {
    const base::SamplePtr sample = pull_sample(decode, "sink", kFrameTimeout, error);
    if (!sample) {
      ADD_FAILURE() << "no frame at " << times[frames.size()] << " s of " << file << ": " << error;
      break;
    }
    const double end = frame_end_seconds(sample.get());
    while (frames.size() < times.size() && times[frames.size()] < end) {
      frames.push_back(to_rgb(sample.get()));
    }
  }
  return frames;
}

Rgb frame_at(const std::filesystem::path& file, double seconds) {
  std::vector<Rgb> frames = frames_at(file, {seconds});
  return frames.empty() ? Rgb{} : std::move(frames.front());
}

std::uint64_t frame_hash(const Rgb& frame) {
  constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
  constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
  std::uint64_t hash =
      kFnvOffset ^ (static_cast<std::uint64_t>(frame.width) << 32 | static_cast<std::uint32_t>(frame.height));
  for (const std::uint8_t byte : frame.pixels) {
    hash = (hash ^ byte) * kFnvPrime;
  }
  return hash;
}

std::vector<double> key_frame_seconds(const std::filesystem::path& file) {
  const std::string command =
      "ffprobe -v error -select_streams v:0 -skip_frame nokey -show_entries frame=pts_time "
      "-of csv=p=0 '" +
      file.string() + "'";
  std::vector<double> keys;
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::array<char, 128> line{};
  while (pipe && std::fgets(line.data(), line.size(), pipe.get()) != nullptr) {
    double seconds = 0;
    if (std::sscanf(line.data(), "%lf", &seconds) == 1) {
      keys.push_back(seconds);
    }
  }
  return keys;
}

}  // namespace vek::media::testing
