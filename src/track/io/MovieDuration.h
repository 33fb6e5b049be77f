#pragma once
// A clip's own length, read from its movie header without reading the media:
// only the top-level box headers and the "moov" box are read.

#include <filesystem>
#include <optional>

namespace vek::track::io {

// Empty for anything but a regular file with a readable movie header.
std::optional<double> clip_movie_duration(const std::filesystem::path& clip);

}  // namespace vek::track::io
