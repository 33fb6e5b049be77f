#pragma once
// The listed GPS boxes grouped into runs, each fetched with one read: a read
// request costs about as much as reading a few dozen KiB, so boxes a short
// gap apart are cheaper read together, gap and all.

#include "track/container/GpsIndex.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vek::track::container {

// A gap read along costs less than a request of its own up to about this.
inline constexpr std::uint64_t kMaxMergedGap = std::uint64_t{64} << 10;
// A run stays this small so its buffer does, unless one box is larger.
inline constexpr std::uint64_t kMaxRunSize = std::uint64_t{1} << 20;

// The bytes of the entries [first, first + count) and the gaps between them.
struct ReadRun {
  ByteRange bytes;
  std::size_t first = 0;
  std::size_t count = 0;

  bool operator==(const ReadRun&) const = default;
};

// The entries, in their order, grouped into runs. An entry joins the run
// before it when it starts at most `max_gap` and at most half the previous
// entry's size after the run's end (or overlaps it), and the run stays within
// `max_run`: the gaps read add at most half the listed bytes, so what is read
// stays within 1.5 times what is needed. Runs span only the listed bytes;
// the entries lie inside a file, so no end overflows.
std::vector<ReadRun> plan_read_runs(std::span<const BoxEntry> entries, std::uint64_t max_gap = kMaxMergedGap,
                                    std::uint64_t max_run = kMaxRunSize);

}  // namespace vek::track::container
