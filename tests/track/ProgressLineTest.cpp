#include "track/cli/ProgressLine.h"

#include <gtest/gtest.h>

namespace vek::track::cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressLine, CountsBytesAndTimeLeftInTheUnitOfTheWhole) {
  EXPECT_EQ(progress_text({.clips_done = 3,
                           .clips_total = 30,
                           .bytes_done = 1'200'000'000,
                           .bytes_total = 9'000'000'000,
                           .elapsed = 20s}),
            "3/30 clips, 1.2 of 9.0 GB, about 3 min left");
  EXPECT_EQ(
      progress_text(
          {.clips_done = 1, .clips_total = 4, .bytes_done = 25'000'000, .bytes_total = 100'000'000, .elapsed = 10s}),
      "1/4 clips, 25 of 100 MB, about 30 s left");
}

TEST(ProgressLine, NoEstimateBeforeTheFirstByteOrAfterTheLast) {
  EXPECT_EQ(progress_text({.clips_done = 0, .clips_total = 2, .bytes_done = 0, .bytes_total = 10, .elapsed = 1s}),
            "0/2 clips, 0 of 0 MB");
  EXPECT_EQ(progress_text({.clips_done = 2, .clips_total = 2, .bytes_done = 10, .bytes_total = 10, .elapsed = 1s}),
            "2/2 clips, 0 of 0 MB");
  EXPECT_EQ(progress_text({.clips_done = 1, .clips_total = 1, .bytes_done = 0, .bytes_total = 0, .elapsed = 0s}),
            "1/1 clips, 0 of 0 MB")
      << "missing clips count as no bytes";
}

}  // namespace
}  // namespace vek::track::cli
