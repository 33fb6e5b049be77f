#pragma once
// Clips for the app benchmarks, made by the project's fixture tool.

#include <cstddef>
#include <filesystem>
#include <string>

namespace vek::bench {

// A freeGPS clip of `seconds` at `size` (WxH), 30 frames a second; throws
// with the tool's reason when it cannot be made.
std::filesystem::path make_bench_clip(const std::filesystem::path& out, int seconds, const std::string& size);

// How many tracks (.data files) `folder` holds; none when it is missing.
std::size_t tracks_in(const std::filesystem::path& folder);

}  // namespace vek::bench
