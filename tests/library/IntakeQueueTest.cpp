// The intake on worker threads: order kept whatever finishes first, runs
// queued, cancel, progress, and clips that vanish while they are read.

#include "library/IntakeQueue.h"

#include <gtest/gtest.h>

#include <array>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <utility>

#include "IntakeHarness.h"
#include "base/files/Publisher.h"
#include "library/TrackExtractor.h"
#include "track/io/Extract.h"

namespace vek::library {
namespace {

using namespace std::chrono_literals;

class IntakeQueueTest : public testing::IntakeHarness {};

TEST_F(IntakeQueueTest, ClipsFinishingOutOfOrderAreAppliedInOrder) {
  start();
  const std::string k1 = make_file("cards/K1.MOV");
  const std::string k2 = make_file("cards/K2.MOV");
  const std::string k3 = make_file("cards/K3.MOV");
  gate_.hold(k3);  // processed first, finishes last
  queue_->enqueue(IntakeKind::Dragged, {k1, k2, k3});
  ASSERT_TRUE(wait_arrival(k2));
  ASSERT_TRUE(run_until([&] { return extraction_count() >= 1; }));
  EXPECT_TRUE(reports_.empty()) << "nothing is listed before the first clip in order is read";
  EXPECT_TRUE(list_.clip_list_text().empty());
  gate_.release(k3);
  ASSERT_TRUE(settle());
  EXPECT_EQ(reports_, (std::vector<std::string>{k3 + ",|" + k3, k3 + "," + k2 + ",|" + k2,
                                                k3 + "," + k2 + "," + k1 + ",|" + k1}));
  EXPECT_EQ(log_, (std::vector<std::string>{"read K3.MOV", "read K2.MOV", "read K1.MOV"}));
}

// A drag's reports spaced out: a clip ready while one was just sent is
// listed by the timer, the run's last report goes at once and lists all.
class PacedIntakeTest : public testing::IntakeHarness {
 protected:
  void SetUp() override {
    IntakeHarness::SetUp();
    report_timer_ = [this](std::chrono::milliseconds delay, std::function<void()> task) {
      EXPECT_LE(delay, 250ms) << "a short list's reports, or the progress line";
      timers_.push_back(std::move(task));
    };
  }
  void fire_timers() {
    for (auto& task : std::exchange(timers_, {})) {
      task();
    }
  }
  // Every report lists a leading part of the final list, in its order.
  void expect_growing_prefixes(const std::string& final_list) const {
    std::size_t listed = 0;
    for (const std::string& report : reports_) {
      const std::string clips = report.substr(0, report.rfind('|'));
      EXPECT_EQ(final_list.rfind(clips, 0), 0U) << report;
      EXPECT_GE(clips.size(), listed) << report;
      listed = clips.size();
    }
  }
  // Starts the queue and drags K1, K2 and K3, holding back K1, the last in order.
  std::array<std::string, 3> drag_three_holding_back_the_last() {
    start();
    const std::array<std::string, 3> clips{make_file("cards/K1.MOV"), make_file("cards/K2.MOV"),
                                           make_file("cards/K3.MOV")};
    gate_.hold(clips[0]);
    queue_->enqueue(IntakeKind::Dragged, {clips.begin(), clips.end()});
    return clips;
  }
  std::vector<std::function<void()>> timers_;
};

TEST_F(PacedIntakeTest, ABurstOfReadyClipsEndsInOneExactReport) {
  start();
  const std::string k1 = make_file("cards/K1.MOV");
  const std::string k2 = make_file("cards/K2.MOV");
  const std::string k3 = make_file("cards/K3.MOV");
  gate_.hold(k3);  // the first in order: the others wait for it and come in one go
  queue_->enqueue(IntakeKind::Dragged, {k1, k2, k3});
  ASSERT_TRUE(wait_arrival(k1));
  ASSERT_TRUE(wait_arrival(k2));
  ASSERT_TRUE(run_until([&] { return extraction_count() >= 2; }));
  gate_.release(k3);
  ASSERT_TRUE(settle());
  EXPECT_EQ(reports_, (std::vector<std::string>{k3 + ",|" + k3, k3 + "," + k2 + "," + k1 + ",|" + k1}))
      << "the first at once, the last at the run's end, none between";
  fire_timers();
  EXPECT_EQ(reports_.size(), 2U) << "the timer finds nothing left to send";
}

// Progress is paced like the reports: the run's totals, the first clip at
// once, then (the burst) nothing until the run's end, which is exact.
TEST_F(PacedIntakeTest, ABurstOfReadyClipsSendsItsProgressOnceAtTheEnd) {
  start();
  std::vector<std::string> clips;
  for (const char* name : {"K1", "K2", "K3", "K4", "K5", "K6"})
    clips.push_back(make_file(std::string("cards/") + name + ".MOV"));
  gate_.hold(clips.back());  // the first in order: the others wait for it and come in one go
  queue_->enqueue(IntakeKind::Dragged, clips);
  ASSERT_TRUE(run_until([&] { return extraction_count() >= clips.size() - 1; }));
  gate_.release(clips.back());
  ASSERT_TRUE(settle());
  std::vector<std::size_t> done;
  for (const IntakeProgress& progress : progress_)
    done.push_back(progress.clips_done);
  EXPECT_EQ(done, (std::vector<std::size_t>{0, 1, 6, 6})) << "totals, first clip, the waiting one flushed, the end";
  EXPECT_EQ(progress_.back().state, IntakeState::Finished);
  EXPECT_EQ(progress_.back().clips_total, 6U);
  fire_timers();
  EXPECT_EQ(progress_.size(), 4U) << "the timer finds nothing left to send";
}

// A folder still being looked through when the first progress would be due
// shows a running intake with nothing counted yet, so the page has its
// Cancel; the end is sent whatever the count.
TEST_F(PacedIntakeTest, ARunStillLookingThroughItsFoldersShowsThatItRuns) {
  hold_plans();
  start();
  const std::string card = (root_ / "card").string();
  make_file("card/DCIM/K1.MOV");
  queue_->enqueue(IntakeKind::Dragged, {card});
  ASSERT_TRUE(run_until([&] { return planning_.load(); }));
  fire_timers();
  ASSERT_EQ(progress_.size(), 1U);
  EXPECT_EQ(progress_[0].state, IntakeState::Running);
  EXPECT_EQ(progress_[0].clips_total, 0U);
  plan_held_ = false;
  ASSERT_TRUE(settle());
  EXPECT_EQ(progress_.back().state, IntakeState::Finished);
  EXPECT_EQ(progress_.back().clips_done, 1U);

  plan_held_ = true;
  planning_ = false;
  progress_.clear();
  queue_->enqueue(IntakeKind::Dragged, {(root_ / "card" / "empty").string()});
  ASSERT_TRUE(run_until([&] { return planning_.load(); }));
  fire_timers();
  queue_->cancel();
  ASSERT_EQ(progress_.size(), 2U);
  EXPECT_EQ(progress_[1].state, IntakeState::Cancelled) << "the page's Cancel is answered";
  EXPECT_EQ(progress_[1].clips_total, 0U);
}

TEST_F(PacedIntakeTest, AClipReadyMidRunIsListedByTheTimerWhileTheRunGoesOn) {
  const auto [k1, k2, k3] = drag_three_holding_back_the_last();
  ASSERT_TRUE(run_until([&] { return list_.entries().size() == 2; }));
  fire_timers();
  ASSERT_FALSE(reports_.empty());
  EXPECT_EQ(reports_.back(), k3 + "," + k2 + ",|" + k2) << "both ready clips listed before the run ends";
  EXPECT_TRUE(queue_->running());
  gate_.release(k1);
  ASSERT_TRUE(settle());
  const std::string all = k3 + "," + k2 + "," + k1 + ",";
  EXPECT_EQ(reports_.back(), all + "|" + k1);
  expect_growing_prefixes(all);
}

// Each report carries the whole list: behind a card's worth of clips already
// listed, the next report waits longer, but never a second.
TEST_F(PacedIntakeTest, BehindALongListReportsComeLessOften) {
  for (int i = 0; i < 1000; ++i)
    list_.append("/t/" + std::to_string(i) + ".data", "/c/" + std::to_string(i) + ".MOV");
  std::vector<std::chrono::milliseconds> delays;
  report_timer_ = [&](std::chrono::milliseconds delay, std::function<void()> task) {
    delays.push_back(delay);
    timers_.push_back(std::move(task));
  };
  const auto [k1, k2, k3] = drag_three_holding_back_the_last();
  ASSERT_TRUE(run_until([&] { return list_.entries().size() == 1002; }));
  ASSERT_FALSE(delays.empty()) << "the second clip waits for the timer";
  EXPECT_GT(delays.front(), 200ms);
  EXPECT_LE(delays.front(), 1000ms);
  gate_.release(k1);
  ASSERT_TRUE(settle());
  EXPECT_EQ(reports_.back().substr(reports_.back().rfind('|')), "|" + k1) << "the run's last report still goes at once";
}

TEST(DragReportSpacing, GrowsWithTheListAndStaysWithinASecond) {
  EXPECT_EQ(drag_report_spacing(0), 100ms);
  EXPECT_EQ(drag_report_spacing(300), 100ms) << "a few hundred clips are listed as briskly as a few";
  std::chrono::milliseconds before{0};
  for (std::size_t listed = 0; listed <= 20000; listed += 50) {
    const auto spacing = drag_report_spacing(listed);
    EXPECT_GE(spacing, before) << listed;
    EXPECT_LE(spacing, 1000ms) << listed;
    before = spacing;
  }
  EXPECT_GE(drag_report_spacing(1000), 250ms);
  EXPECT_EQ(drag_report_spacing(20000), 1000ms);
}

TEST_F(PacedIntakeTest, CancelSendsTheWaitingReportAtOnce) {
  const auto [k1, k2, k3] = drag_three_holding_back_the_last();
  ASSERT_TRUE(run_until([&] { return list_.entries().size() == 2; }));
  queue_->cancel();
  ASSERT_FALSE(reports_.empty());
  EXPECT_EQ(reports_.back(), k3 + "," + k2 + ",|" + k2) << "what was taken in is listed without waiting";
  const std::size_t sent = reports_.size();
  fire_timers();
  EXPECT_EQ(reports_.size(), sent);
}

TEST_F(IntakeQueueTest, NeverMoreClipsAtOnceThanThreads) {
  std::atomic<int> reading{0};
  std::atomic<int> most{0};
  extractor_ = [&](const ExtractRequest& request, track::Cancellation& cancellation, base::FolderSyncs&) {
    const int now = ++reading;
    most = std::max(most.load(), now);
    std::this_thread::sleep_for(5ms);
    --reading;
    return extract(request, cancellation);
  };
  start(intake_thread_count());
  std::vector<std::string> clips;
  for (int i = 0; i < 12; ++i) {
    clips.push_back(make_file("cards/C" + std::to_string(i) + ".MOV"));
  }
  queue_->enqueue(IntakeKind::Chosen, clips);
  ASSERT_TRUE(settle());
  EXPECT_LE(most.load(), 2);
  EXPECT_GE(intake_thread_count(), 1U);
  EXPECT_EQ(extraction_count(), 12U);
}

TEST_F(IntakeQueueTest, SecondIntakeWaitsForTheFirst) {
  start();
  const std::string first = make_file("a/FIRST.MOV");
  const std::string second = make_file("b/SECOND.MOV");
  gate_.hold(first);
  queue_->enqueue(IntakeKind::Dragged, {first});
  queue_->enqueue(IntakeKind::Chosen, {second});
  ASSERT_TRUE(wait_arrival(first));
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(gate_.arrived(second)) << "the queued run has not started";
  gate_.release(first);
  ASSERT_TRUE(settle());
  EXPECT_EQ(reports_, (std::vector<std::string>{first + ",|" + first, first + "," + second + ",|" + second}));
  ASSERT_FALSE(progress_.empty());
  EXPECT_EQ(progress_.back().state, IntakeState::Finished);
  EXPECT_EQ(progress_.back().clips_done, 2U);
  EXPECT_EQ(progress_.back().clips_total, 2U) << "totals cover the queued run";
}

// A dropped folder may hold a million files: it is walked off the main
// thread, the walk stops with a cancel, and a walk that fails ends its run
// with a line in the log instead of holding up the queue.
TEST_F(IntakeQueueTest, ARunIsPlannedOnAWorkerAndCancelStopsThePlanning) {
  hold_plans();
  start();
  const std::string clip = make_file("card/DCIM/K1.MOV");
  queue_->enqueue(IntakeKind::Dragged, {(root_ / "card").string()});
  EXPECT_TRUE(queue_->running());
  ASSERT_TRUE(run_until([&] { return planning_.load(); }));
  EXPECT_NE(planner_thread_.load(), std::this_thread::get_id());
  queue_->cancel();
  EXPECT_FALSE(queue_->running());
  workers_.reset();
  drain();
  EXPECT_TRUE(plan_gave_up_);
  EXPECT_EQ(log_, std::vector<std::string>{"intake cancelled: 0 of 0 clips taken in"});
  EXPECT_TRUE(list_.entries().empty());
  EXPECT_EQ(extraction_count(), 0U);
  EXPECT_FALSE(std::filesystem::exists(track("K1.data")));
}

TEST_F(IntakeQueueTest, APlanningFailureIsLoggedAndTheNextRunGoesOn) {
  bool failed_once = false;
  planner_ = [&](IntakeKind kind, const std::vector<std::string>& paths, const std::string& home,
                 const std::function<bool()>& stop) {
    if (!std::exchange(failed_once, true)) {
      throw std::runtime_error("folder vanished");
    }
    return plan_intake(kind, paths, home, stop);
  };
  start(1);
  const std::string clip = make_file("cards/K1.MOV");
  queue_->enqueue(IntakeKind::Chosen, {clip});
  queue_->enqueue(IntakeKind::Chosen, {clip});
  ASSERT_TRUE(settle());
  EXPECT_EQ(log_, (std::vector<std::string>{"cannot take clips in: folder vanished", "read K1.MOV"}));
  EXPECT_EQ(reports_, (std::vector<std::string>{"|(null)", clip + ",|" + clip}));
}

TEST_F(IntakeQueueTest, CancelStopsTheRunAndDropsQueuedOnes) {
  start(1);
  const std::string a = make_file("cards/A.MOV");
  const std::string b = make_file("cards/B.MOV");
  const std::string c = make_file("cards/C.MOV");
  const std::string later = make_file("other/LATER.MOV");
  gate_.hold(b);
  queue_->enqueue(IntakeKind::Chosen, {a, b, c});  // C, then B, then A
  queue_->enqueue(IntakeKind::Dragged, {later});
  ASSERT_TRUE(wait_arrival(b));
  ASSERT_TRUE(run_until([&] { return list_.clip_list_text() == c + ","; }));
  queue_->cancel();
  EXPECT_FALSE(queue_->running());
  gate_.release(b);
  workers_.reset();  // B's reader ends; its outcome arrives after the cancel
  drain();
  EXPECT_EQ(list_.clip_list_text(), c + ",");
  EXPECT_EQ(reports_, std::vector<std::string>{c + ",|" + c}) << "the chooser reports what it took in";
  EXPECT_TRUE(std::filesystem::exists(track("C.data")));
  EXPECT_FALSE(std::filesystem::exists(track("B.data"))) << "cancelled before its track was published";
  EXPECT_FALSE(std::filesystem::exists(track("A.data")));
  EXPECT_FALSE(std::filesystem::exists(track("LATER.data")));
  EXPECT_EQ(library_entries(), 2U) << "C's track and its record; no temporary file";
  ASSERT_FALSE(progress_.empty());
  EXPECT_EQ(progress_.back().state, IntakeState::Cancelled);
  EXPECT_EQ(progress_.back().clips_done, 1U);
  EXPECT_EQ(log_.back(), "intake cancelled: 1 of 3 clips taken in");
}

// Tracks are published with the workers' batch of folder syncs; the batch is
// synced before the run's last clip reaches the main thread.
TEST_F(IntakeQueueTest, TheTrackFolderIsSyncedBeforeTheIntakeReportsItsEnd) {
  std::atomic<std::size_t> deferred{0};
  extractor_ = [&](const ExtractRequest& request, track::Cancellation&, base::FolderSyncs& syncs) {
    EXPECT_TRUE(
        base::publish_file(home() + request.relative_track_path, "data", base::PublishMode::Replace, nullptr, &syncs));
    deferred += syncs.pending();
    return ExtractOutcome{};
  };
  start(2);
  std::vector<std::string> clips;
  for (const char* name : {"A", "B", "C", "D", "E"})
    clips.push_back(make_file(std::string("card/") + name + ".MOV"));
  queue_->enqueue(IntakeKind::Dragged, clips);
  ASSERT_TRUE(settle());
  ASSERT_EQ(progress_.back().state, IntakeState::Finished);
  EXPECT_GT(deferred.load(), 0U) << "each publish left its folder to the batch";
  EXPECT_EQ(workers_->unsynced_folders(), 0U);
  EXPECT_TRUE(std::filesystem::exists(track("E.data")));
}

// A real track reader held mid-run: the tracks published before the cancel
// stay, the one being read is never published, and no temporary is left.
TEST_F(IntakeQueueTest, CancelMidBatchLeavesPublishedTracksAndNoTemporary) {
  extractor_ = [&](const ExtractRequest& request, track::Cancellation& cancellation, base::FolderSyncs& syncs) {
    gate_.pass(request.clip_path);
    const auto result = track::io::extract_clip(
        request.clip_path, home(), request.relative_track_path, request.file_name, track::Form::standard, {},
        &cancellation, track::io::ReadMode::located, track::io::kMaxTrackBytes, &syncs, identity_beside(request));
    ExtractOutcome outcome;
    outcome.cancelled = result.cancelled;
    return outcome;
  };
  start(1);
  const std::string a = make_file("card/A.MOV");
  const std::string b = make_file("card/B.MOV");
  const std::string c = make_file("card/C.MOV");
  gate_.hold(b);
  queue_->enqueue(IntakeKind::Dragged, {a, b, c});  // C, then B, then A
  ASSERT_TRUE(wait_arrival(b));
  ASSERT_TRUE(run_until([&] { return list_.lists_clip(c); }));
  queue_->cancel();
  gate_.release(b);
  workers_.reset();  // B's read ends cancelled; the batch is synced on the way out
  drain();
  EXPECT_TRUE(std::filesystem::exists(track("C.data")));
  EXPECT_TRUE(std::filesystem::exists(track("C.data.family")));
  EXPECT_FALSE(std::filesystem::exists(track("B.data")));
  EXPECT_FALSE(std::filesystem::exists(track("A.data")));
  EXPECT_EQ(library_entries(), 3U) << "C's track, family and identity; no temporary";
}

TEST_F(IntakeQueueTest, ANewIntakeAfterCancelRunsNormally) {
  start(1);
  const std::string a = make_file("cards/A.MOV");
  gate_.hold(a);
  queue_->enqueue(IntakeKind::Dragged, {a});
  ASSERT_TRUE(wait_arrival(a));
  queue_->cancel();
  gate_.release(a);
  const std::string b = make_file("cards/B.MOV");
  queue_->enqueue(IntakeKind::Dragged, {b, a});
  ASSERT_TRUE(settle());
  EXPECT_EQ(list_.clip_list_text(), a + "," + b + ",");
  EXPECT_EQ(progress_.back().clips_total, 2U) << "a fresh count after the cancel";
}

TEST_F(IntakeQueueTest, ProgressCountsClipsAndBytes) {
  start();
  const std::string small = make_file("cards/S.MOV", std::string(1000, 'x'));
  const std::string big = make_file("cards/B.MOV", std::string(3000, 'x'));
  const std::string listed = make_file("cards/L.MOV", std::string(500, 'x'));
  make_file("home/VEK/data/L.data");
  queue_->enqueue(IntakeKind::Dragged, {small, big, listed});
  ASSERT_TRUE(settle());
  ASSERT_GE(progress_.size(), 2U);
  EXPECT_EQ(progress_.front().clips_total, 3U);
  EXPECT_EQ(progress_.front().bytes_total, 4000U) << "a clip with a track is not read";
  EXPECT_EQ(progress_.front().clips_done, 0U);
  EXPECT_EQ(progress_.back().clips_done, 3U);
  EXPECT_EQ(progress_.back().bytes_done, 4000U);
  EXPECT_EQ(progress_.back().state, IntakeState::Finished);
}

TEST(IntakeEstimate, RemainingBytesAtTheRateSoFar) {
  EXPECT_EQ(estimate_time_left(0, 100, 5s), std::nullopt) << "no rate before the first clip";
  EXPECT_EQ(estimate_time_left(10, 100, 0s), std::nullopt);
  EXPECT_EQ(estimate_time_left(25, 100, 10s), 30s);
  EXPECT_EQ(estimate_time_left(30, 100, 10s), 24s) << "rounded up: 23.3 s";
  EXPECT_EQ(estimate_time_left(100, 100, 10s), 0s);
  EXPECT_EQ(estimate_time_left(120, 100, 10s), 0s) << "a clip that grew is no negative time";
}

// A card pulled mid-intake: the clips gone give a message each, the rest go on.
TEST_F(IntakeQueueTest, ClipsVanishingMidIntakeGiveAMessageEachAndTheRestGoOn) {
  const std::string a = make_file("card/A.MOV");
  const std::string b = make_file("card/B.MOV");
  const std::string c = make_file("card/C.MOV");
  extractor_ = [&](const ExtractRequest& request, track::Cancellation& cancellation, base::FolderSyncs& syncs) {
    if (request.clip_path == c) {
      std::filesystem::remove(a);
      std::filesystem::remove(b);
    }
    ExtractOutcome outcome;
    const auto result = track::io::extract_clip(
        request.clip_path, home(), request.relative_track_path, request.file_name, track::Form::standard, {},
        &cancellation, track::io::ReadMode::located, track::io::kMaxTrackBytes, &syncs, identity_beside(request));
    outcome.failure = result.written ? "" : result.error.message;
    return outcome;
  };
  start(1);
  queue_->enqueue(IntakeKind::Dragged, {a, b, c});
  ASSERT_TRUE(settle());
  ASSERT_EQ(failures_.size(), 2U);
  EXPECT_EQ(failures_[0].rfind(b + ": ", 0), 0U) << failures_[0];
  EXPECT_EQ(failures_[1].rfind(a + ": ", 0), 0U) << failures_[1];
  EXPECT_TRUE(std::filesystem::exists(track("C.data")));
  EXPECT_TRUE(std::filesystem::exists(track("C.data.family")));
  EXPECT_EQ(library_entries(), 3U) << "C's track, its record and its family; nothing for the lost clips";
  EXPECT_EQ(log_.size(), 2U);
  EXPECT_EQ(log_[0].rfind("cannot read " + b + ": ", 0), 0U) << log_[0];
  EXPECT_EQ(progress_.back().state, IntakeState::Finished);
}

}  // namespace
}  // namespace vek::library
