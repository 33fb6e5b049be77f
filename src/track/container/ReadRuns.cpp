#include "track/container/ReadRuns.h"

#include <algorithm>

namespace vek::track::container {
namespace {

bool joins(const ReadRun& run, const BoxEntry& previous, const BoxEntry& entry, std::uint64_t max_gap,
           std::uint64_t max_run) noexcept {
  const ByteRange& bytes = run.bytes;
  if (entry.offset < bytes.offset) return false;  // out of order: a run only grows forwards
  const std::uint64_t end = std::max(bytes.end(), entry.offset + entry.size);
  if (end - bytes.offset > max_run) return false;
  if (entry.offset <= bytes.end()) return true;
  const std::uint64_t gap = entry.offset - bytes.end();
  return gap <= max_gap && gap <= previous.size / 2;
}

}  // namespace

std::vector<ReadRun> plan_read_runs(std::span<const BoxEntry> entries, std::uint64_t max_gap, std::uint64_t max_run) {
  std::vector<ReadRun> runs;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const BoxEntry& entry = entries[i];
    if (!runs.empty() && joins(runs.back(), entries[i - 1], entry, max_gap, max_run)) {
      ReadRun& run = runs.back();
      run.bytes.size = std::max(run.bytes.end(), entry.offset + entry.size) - run.bytes.offset;
      ++run.count;
      continue;
    }
    runs.push_back({{entry.offset, entry.size}, i, 1});
  }
  return runs;
}

}  // namespace vek::track::container
