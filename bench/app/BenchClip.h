#pragma once
// Clips for the app benchmarks, made by the project's fixture tool.

#include <filesystem>
#include <string>

namespace vek::bench {

// A freeGPS clip of `seconds` at `size` (WxH), 30 frames a second; throws
// with the tool's reason when it cannot be made.
std::filesystem::path make_bench_clip(const std::filesystem::path& out, int seconds, const std::string& size);

}  // namespace vek::bench
