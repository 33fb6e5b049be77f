#pragma once
// Frames decoded from the movies the exports write, picked by the movie's
// stream time, for comparing pictures and hashing them.

#include <gst/gst.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vek::media::testing {

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // packed RGB
};

// The frames shown at `times` (ascending, seconds), decoded in one pass from the start.
std::vector<Rgb> frames_at(const std::filesystem::path& file, const std::vector<double>& times);

Rgb frame_at(const std::filesystem::path& file, double seconds);

// A hash of the frame's size and every pixel: equal only for equal pictures (as good as certain).
std::uint64_t frame_hash(const Rgb& frame);

// Seconds of the key frames of the movie's video, by ffprobe (not by the code under test).
std::vector<double> key_frame_seconds(const std::filesystem::path& file);

}  // namespace vek::media::testing
