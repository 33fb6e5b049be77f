#pragma once
// The sound of a movie as two kinds of player hear it, reduced to the times
// where a short tone burst begins, for measuring sound against picture.

#include <filesystem>
#include <optional>
#include <vector>

namespace vek::media::testing {

// The decoded sound, mono, and where each sample plays in the movie's time.
struct Sound {
  int rate = 0;
  std::vector<float> samples;
  std::vector<double> seconds;  // one per sample
};

// Decoded by GStreamer (qtdemux and the installed AAC decoder), each sample
// timed by its buffer's stream time, as a GStreamer player schedules it.
std::optional<Sound> sound_by_gstreamer(const std::filesystem::path& file);

// Decoded by ffmpeg, which plays samples back to back from the movie's start.
std::optional<Sound> sound_by_ffmpeg(const std::filesystem::path& file);

// Times where the sound rises above `level` after at least `quiet` seconds below it.
std::vector<double> burst_onsets(const Sound& sound, float level, double quiet);

}  // namespace vek::media::testing
