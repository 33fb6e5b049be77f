#include "track/container/ReadRuns.h"

#include <gtest/gtest.h>

namespace vek::track::container {
namespace {

using Entries = std::vector<BoxEntry>;

TEST(ReadRuns, NoEntriesNoRunsAndOneEntryItsOwnRun) {
  EXPECT_TRUE(plan_read_runs({}).empty());
  const Entries one{{4096, 32768}};
  EXPECT_EQ(plan_read_runs(one), (std::vector<ReadRun>{{{4096, 32768}, 0, 1}}));
}

TEST(ReadRuns, NeighboursShareARunAndFarBoxesKeepTheirOwn) {
  // A second a box, 32 KiB each: 8 KiB apart, then 2 MiB apart as a camera spreads them.
  const Entries entries{{1000, 32768}, {1000 + 32768 + 8192, 32768}, {3'000'000, 32768}, {5'000'000, 32768}};
  const std::vector<ReadRun> runs = plan_read_runs(entries);
  ASSERT_EQ(runs.size(), 3U);
  EXPECT_EQ(runs[0], (ReadRun{{1000, 32768 + 8192 + 32768}, 0, 2}));
  EXPECT_EQ(runs[1], (ReadRun{{3'000'000, 32768}, 2, 1}));
  EXPECT_EQ(runs[2], (ReadRun{{5'000'000, 32768}, 3, 1}));
}

TEST(ReadRuns, TouchingAndOverlappingBoxesMergeWithoutGrowingPastTheirEnd) {
  const Entries touching{{0, 100}, {100, 100}, {200, 50}};
  EXPECT_EQ(plan_read_runs(touching), (std::vector<ReadRun>{{{0, 250}, 0, 3}}));
  const Entries overlapping{{0, 400}, {100, 100}, {350, 100}};
  EXPECT_EQ(plan_read_runs(overlapping), (std::vector<ReadRun>{{{0, 450}, 0, 3}}))
      << "a box inside the run adds nothing; one reaching past it extends the run to its end";
}

// Merging reads the gaps: they stay under half the listed bytes, so what is
// read stays within 1.5 times what is needed.
TEST(ReadRuns, AGapIsReadOnlyWhenSmallBesideTheBoxBeforeIt) {
  const Entries half_gap{{0, 1000}, {1500, 1000}};
  EXPECT_EQ(plan_read_runs(half_gap).size(), 1U) << "a gap of half the box before it";
  const Entries wider{{0, 1000}, {1501, 1000}};
  EXPECT_EQ(plan_read_runs(wider).size(), 2U);
  const Entries small_box_first{{0, 100}, {200, 60000}};
  EXPECT_EQ(plan_read_runs(small_box_first).size(), 2U) << "100 bytes read for 100 needed would double the read";
  const Entries big_boxes{{0, 1U << 19}, {(1U << 19) + kMaxMergedGap + 1, 1000}};
  EXPECT_EQ(plan_read_runs(big_boxes).size(), 2U) << "past the largest gap worth reading";
}

TEST(ReadRuns, RunsStayWithinTheirSizeUnlessOneBoxIsLarger) {
  Entries many;
  for (std::uint64_t k = 0; k < 100; ++k)
    many.push_back({k * 32768, 32768});
  const std::vector<ReadRun> runs = plan_read_runs(many);
  ASSERT_EQ(runs.size(), 4U) << "3.2 MiB of touching boxes in runs of at most 1 MiB";
  std::size_t next = 0;
  for (const ReadRun& run : runs) {
    EXPECT_LE(run.bytes.size, kMaxRunSize);
    EXPECT_EQ(run.first, next) << "every entry in one run, in order";
    next += run.count;
  }
  EXPECT_EQ(next, many.size());
  const Entries huge{{0, 100}, {100, kMaxRunSize + 5}};
  EXPECT_EQ(plan_read_runs(huge), (std::vector<ReadRun>{{{0, 100}, 0, 1}, {{100, kMaxRunSize + 5}, 1, 1}}));
}

TEST(ReadRuns, RunsCoverEveryEntryAndNothingOutsideTheListedSpan) {
  const Entries entries{{500, 700}, {1400, 300}, {1800, 2000}, {90'000, 10}, {90'010, 4000}};
  const std::vector<ReadRun> runs = plan_read_runs(entries);
  EXPECT_EQ(runs.front().bytes.offset, entries.front().offset);
  EXPECT_EQ(runs.back().bytes.end(), entries.back().offset + entries.back().size)
      << "a run ends at its last box: the read stays inside the file the entries lie in";
  for (const ReadRun& run : runs) {
    for (std::size_t i = run.first; i < run.first + run.count; ++i) {
      EXPECT_GE(entries[i].offset, run.bytes.offset);
      EXPECT_LE(entries[i].offset + entries[i].size, run.bytes.end());
    }
  }
}

TEST(ReadRuns, AnEntryBeforeItsRunStartsANewRun) {
  const Entries backwards{{10'000, 100}, {9'990, 100}};
  EXPECT_EQ(plan_read_runs(backwards), (std::vector<ReadRun>{{{10'000, 100}, 0, 1}, {{9'990, 100}, 1, 1}}));
}

}  // namespace
}  // namespace vek::track::container
