#include "SnapshotBench.h"

#include <gst/gst.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "Spawn.h"
#include "media/gst/GstSnapshotter.h"

namespace vek::bench {
namespace {

constexpr std::uint32_t kSeed = 20261205;  // the same positions in every run
constexpr std::int32_t kMillisecondScale = 1000;
constexpr double kEndMargin = 0.1;  // positions stay on a frame inside the clip

std::string uri_of(const std::filesystem::path& clip) {
  gchar* uri = gst_filename_to_uri(clip.c_str(), nullptr);
  std::string text = uri != nullptr ? uri : "";
  g_free(uri);
  return text;
}

void ours(media::GstSnapshotter& snapshotter, const std::string& uri, double at, const std::filesystem::path& png) {
  const auto millis = static_cast<std::int64_t>(std::llround(at * kMillisecondScale));
  const media::FrameResult result = snapshotter.save_frame(uri, millis, kMillisecondScale, png);
  if (!result.error.empty()) {
    throw std::runtime_error("save_frame: " + result.error);
  }
}

void ffmpeg(const std::filesystem::path& clip, double at, const std::filesystem::path& png) {
  char position[32];
  std::snprintf(position, sizeof position, "%.3f", at);
  if (!run_program({"ffmpeg", "-nostdin", "-v", "error", "-y", "-ss", position, "-i", clip.string(), "-frames:v", "1",
                    png.string()})) {
    throw std::runtime_error("ffmpeg failed on a snapshot");
  }
}

}  // namespace

Rounds bench_snapshot(const std::filesystem::path& clip, double clip_seconds, int positions,
                      const std::filesystem::path& scratch) {
  media::GstSnapshotter snapshotter;
  const std::string uri = uri_of(clip);
  const auto ours_png = scratch / "ours.png";
  const auto ffmpeg_png = scratch / "ffmpeg.png";
  // Untimed first runs load the plugins and libraries and warm the page cache.
  ours(snapshotter, uri, 0, ours_png);
  ffmpeg(clip, 0, ffmpeg_png);
  std::mt19937 random(kSeed);
  std::uniform_real_distribution<double> anywhere(0, std::max(clip_seconds - kEndMargin, 0.0));
  Rounds rounds;
  for (int round = 0; round < positions; ++round) {
    const double at = anywhere(random);
    const auto run_ours = [&] { rounds.ours.push_back(seconds_of([&] { ours(snapshotter, uri, at, ours_png); })); };
    const auto run_ffmpeg = [&] { rounds.ffmpeg.push_back(seconds_of([&] { ffmpeg(clip, at, ffmpeg_png); })); };
    if (round % 2 == 0) {
      run_ours();
      run_ffmpeg();
    } else {
      run_ffmpeg();
      run_ours();
    }
  }
  return rounds;
}

}  // namespace vek::bench
