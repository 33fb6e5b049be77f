#pragma once
// How far the intake is: clips and bytes, and the time it will still take.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vek::library {

enum class IntakeState { Running, Finished, Cancelled };

struct IntakeProgress {
  IntakeState state = IntakeState::Running;
  // Clips taken in, of the clips the runs so far take in.
  std::size_t clips_done = 0;
  std::size_t clips_total = 0;
  // Bytes of the clips whose tracks are read.
  std::uintmax_t bytes_done = 0;
  std::uintmax_t bytes_total = 0;
  // Empty until a first clip has been read.
  std::optional<std::chrono::seconds> time_left;
};

// The remaining bytes at the rate seen so far, rounded up.
std::optional<std::chrono::seconds> estimate_time_left(std::uintmax_t bytes_done, std::uintmax_t bytes_total,
                                                       std::chrono::steady_clock::duration elapsed);

}  // namespace vek::library
