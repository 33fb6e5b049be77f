#include "app/StallMeter.h"

#include <gtest/gtest.h>

#include <vector>

namespace vek::app {
namespace {

using namespace std::chrono_literals;

// Feeds ticks at the given offsets from a fixed start; returns every report.
std::vector<std::chrono::milliseconds> reports_for(const std::vector<std::chrono::milliseconds>& offsets) {
  StallMeter meter(10ms, 100ms);
  const StallMeter::Clock::time_point start{};
  std::vector<std::chrono::milliseconds> reports;
  for (const auto offset : offsets) {
    if (const auto stall = meter.tick(start + offset)) reports.push_back(*stall);
  }
  return reports;
}

std::vector<std::chrono::milliseconds> steady(std::chrono::milliseconds from, std::chrono::milliseconds to) {
  std::vector<std::chrono::milliseconds> offsets;
  for (auto t = from; t <= to; t += 10ms)
    offsets.push_back(t);
  return offsets;
}

TEST(StallMeter, TicksOnTimeReportNoStallOncePerWindow) {
  EXPECT_EQ(reports_for(steady(0ms, 250ms)), (std::vector<std::chrono::milliseconds>{0ms, 0ms}));
}

TEST(StallMeter, ReportsTheDelayPastThePeriodOfTheWorstGapInItsWindow) {
  std::vector<std::chrono::milliseconds> offsets{0ms, 10ms, 45ms, 55ms, 120ms, 130ms, 140ms};
  // Gaps 35 ms (25 late) and 65 ms (55 late) fall in the first window.
  EXPECT_EQ(reports_for(offsets), (std::vector<std::chrono::milliseconds>{55ms}));
}

TEST(StallMeter, EachWindowStartsAfresh) {
  std::vector<std::chrono::milliseconds> offsets{0ms, 90ms, 100ms};
  const auto calm = steady(110ms, 210ms);
  offsets.insert(offsets.end(), calm.begin(), calm.end());
  EXPECT_EQ(reports_for(offsets), (std::vector<std::chrono::milliseconds>{80ms, 0ms}));
}

TEST(StallMeter, AStallLongerThanAWindowIsReportedWhole) {
  EXPECT_EQ(reports_for({0ms, 10ms, 2010ms}), (std::vector<std::chrono::milliseconds>{1990ms}));
}

TEST(StallMeter, EarlyTicksAndAClockSteppingBackCountAsNoDelay) {
  EXPECT_EQ(reports_for({50ms, 52ms, 40ms, 150ms}), (std::vector<std::chrono::milliseconds>{100ms}));
}

}  // namespace
}  // namespace vek::app
