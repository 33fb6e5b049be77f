#pragma once
// The progress line vek-track extract keeps on a terminal: clips done of
// all, bytes read of all, and the time left at the rate so far.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vek::track::cli {

struct ExtractProgress {
  std::size_t clips_done = 0;
  std::size_t clips_total = 0;
  std::uintmax_t bytes_done = 0;
  std::uintmax_t bytes_total = 0;
  std::chrono::steady_clock::duration elapsed{};
};

// E.g. "3/30 clips, 1.2 of 9.0 GB, about 2 min left"; no estimate before a byte is read.
std::string progress_text(const ExtractProgress& progress);

}  // namespace vek::track::cli
