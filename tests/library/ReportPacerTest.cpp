// Drag reports spaced out: the first at once, later ones held to the spacing
// with only the latest kept, a flush sending at once, nothing after the pacer.

#include "library/ReportPacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace vek::library {
namespace {

using namespace std::chrono_literals;

class ReportPacerTest : public ::testing::Test {
 protected:
  ReportPacer::Clock::time_point now_{};
  std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> timers_;
  std::vector<std::string> sent_;

  ReportPacer make(bool with_timer = true) {
    ReportPacer::Timer timer;
    if (with_timer) {
      timer = [this](std::chrono::milliseconds delay, std::function<void()> task) {
        timers_.emplace_back(delay, std::move(task));
      };
    }
    return {100ms, timer, [this](std::string_view clip) { sent_.emplace_back(clip); }, [this] { return now_; }};
  }
  // Lets `elapsed` pass and runs the timers due by then.
  void pass(std::chrono::milliseconds elapsed) {
    now_ += elapsed;
    auto due = std::move(timers_);
    timers_.clear();
    for (auto& [delay, task] : due) {
      if (delay <= elapsed) {
        task();
      } else {
        timers_.emplace_back(delay - elapsed, std::move(task));
      }
    }
  }
};

TEST_F(ReportPacerTest, FirstReportGoesAtOnceAndABurstEndsInItsLatest) {
  ReportPacer pacer = make();
  pacer.request("A");
  EXPECT_EQ(sent_, std::vector<std::string>{"A"});
  now_ += 30ms;
  pacer.request("B");
  pacer.request("C");
  EXPECT_EQ(sent_.size(), 1U) << "held within the spacing";
  EXPECT_TRUE(pacer.waiting());
  ASSERT_EQ(timers_.size(), 1U) << "one timer for the whole burst";
  EXPECT_EQ(timers_[0].first, 70ms) << "the rest of the spacing";
  pass(69ms);
  EXPECT_EQ(sent_.size(), 1U);
  pass(1ms);
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "C"}));
  EXPECT_FALSE(pacer.waiting());
}

TEST_F(ReportPacerTest, AReportAfterAQuietSpellGoesAtOnce) {
  ReportPacer pacer = make();
  pacer.request("A");
  now_ += 100ms;
  pacer.request("B");
  now_ += 250ms;
  pacer.request("C");
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_TRUE(timers_.empty());
}

TEST_F(ReportPacerTest, FlushSendsTheWaitingOneOnceAndTheTimerThenSendsNothing) {
  ReportPacer pacer = make();
  pacer.request("A");
  pacer.request("B");
  pacer.flush();
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "B"}));
  pacer.flush();
  pass(100ms);
  EXPECT_EQ(sent_.size(), 2U) << "nothing was waiting";
}

TEST_F(ReportPacerTest, AReportJustAfterAFlushWaitsForTheSpacing) {
  ReportPacer pacer = make();
  pacer.request("A");
  pacer.request("B");
  pacer.flush();
  pacer.request("C");
  EXPECT_EQ(sent_.size(), 2U) << "B went just now";
  pass(100ms);
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(ReportPacerTest, ANewSpacingHoldsFromTheNextReport) {
  ReportPacer pacer = make();
  pacer.request("A");
  pacer.set_spacing(300ms);
  now_ += 150ms;
  pacer.request("B");
  ASSERT_EQ(timers_.size(), 1U) << "within the new spacing, though past the old one";
  EXPECT_EQ(timers_[0].first, 150ms);
  pass(150ms);
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "B"}));
}

TEST_F(ReportPacerTest, WithoutATimerEveryReportGoesAtOnce) {
  ReportPacer pacer = make(false);
  pacer.request("A");
  pacer.request("B");
  EXPECT_EQ(sent_, (std::vector<std::string>{"A", "B"}));
}

TEST_F(ReportPacerTest, ATimerFiringAfterThePacerHasGoneSendsNothing) {
  {
    ReportPacer pacer = make();
    pacer.request("A");
    pacer.request("B");
  }
  pass(100ms);
  EXPECT_EQ(sent_, std::vector<std::string>{"A"});
}

}  // namespace
}  // namespace vek::library
