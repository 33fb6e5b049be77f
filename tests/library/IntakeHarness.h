#pragma once
// An intake queue over real worker threads, with a main-thread queue the test
// runs itself, and an extractor the test can hold at a gate.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TempHome.h"
#include "library/IntakeQueue.h"
#include "library/LibraryFolders.h"

namespace vek::library::testing {

// Clips named here wait in the extractor until released.
class Gate {
 public:
  void hold(const std::string& clip) {
    const std::lock_guard lock(mutex_);
    held_.insert(clip);
  }
  void release(const std::string& clip) {
    {
      const std::lock_guard lock(mutex_);
      held_.erase(clip);
    }
    changed_.notify_all();
  }
  void release_all() {
    {
      const std::lock_guard lock(mutex_);
      held_.clear();
    }
    changed_.notify_all();
  }
  // Blocks while `clip` is held; notes that a reader has arrived.
  void pass(const std::string& clip) {
    std::unique_lock lock(mutex_);
    arrived_.insert(clip);
    changed_.notify_all();
    changed_.wait(lock, [&] { return held_.count(clip) == 0; });
  }
  bool arrived(const std::string& clip) {
    const std::lock_guard lock(mutex_);
    return arrived_.count(clip) != 0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::string> held_;
  std::set<std::string> arrived_;
};

class IntakeHarness : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    std::filesystem::create_directories(library_folder(home()));
  }
  void TearDown() override {
    gate_.release_all();
    queue_.reset();
    workers_.reset();
    TempHome::TearDown();
  }

  // Writes "data" as the track, and its identity record, unless cancelled
  // meanwhile; logs one line.
  ExtractOutcome extract(const ExtractRequest& request, track::Cancellation& cancellation) {
    gate_.pass(request.clip_path);
    ExtractOutcome outcome;
    outcome.log_lines.push_back("read " + request.file_name);
    {
      const std::lock_guard lock(extract_mutex_);
      extractions_.push_back(request);
    }
    outcome.cancelled = !cancellation.publish_unless_cancelled([&] {
      std::ofstream(home() + request.relative_track_path) << "data";
      if (!request.identity_file.empty()) std::ofstream(request.identity_file) << request.identity_record;
    });
    return outcome;
  }

  void start(unsigned threads = 2) {
    workers_ = std::make_unique<ExtractionWorkers>(
        [this](const ExtractRequest& request, track::Cancellation& cancellation, base::FolderSyncs& folder_syncs) {
          return extractor_ ? extractor_(request, cancellation, folder_syncs) : extract(request, cancellation);
        },
        [this](std::function<void()> task) {
          {
            const std::lock_guard lock(main_mutex_);
            main_queue_.push_back(std::move(task));
          }
          posted_.notify_all();
        },
        threads);
    IntakeListener listener;
    listener.log = [this](std::string_view line) { log_.emplace_back(line); };
    listener.report = [this](std::string_view last) {
      reports_.push_back(list_.clip_list_text() + "|" + std::string(last));
    };
    listener.progress = [this](const IntakeProgress& progress) { progress_.push_back(progress); };
    listener.failed = [this](const std::string& clip, const std::string& reason) {
      failures_.push_back(clip + ": " + reason);
    };
    IntakeOptions options;
    options.read_duration = [this](const std::string& clip) {
      return read_duration_ ? read_duration_(clip) : std::nullopt;
    };
    options.report_timer = report_timer_;
    if (planner_) options.plan = planner_;
    queue_ = std::make_unique<IntakeQueue>(list_, home(), *workers_, listener, std::move(options));
  }

  // Runs posted tasks until the queue is idle; false after ten seconds.
  bool settle() {
    return run_until([this] { return !queue_->running(); });
  }
  // `done` is looked at every few milliseconds too, for what a worker does
  // without posting.
  bool run_until(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
      std::unique_lock lock(main_mutex_);
      if (!posted_.wait_for(lock, std::chrono::milliseconds(5), [this] { return !main_queue_.empty(); })) {
        if (std::chrono::steady_clock::now() >= deadline) {
          return false;
        }
        continue;
      }
      auto task = std::move(main_queue_.front());
      main_queue_.pop_front();
      lock.unlock();
      task();
    }
    return true;
  }
  // Runs whatever was posted; for when the workers have ended.
  void drain() {
    while (!main_queue_.empty()) {
      auto task = std::move(main_queue_.front());
      main_queue_.pop_front();
      task();
    }
  }
  // Holds every run's plan on its worker while `plan_held_` is set, until the
  // run is cancelled; notes the thread, that planning began, and whether the
  // plan was told to stop.
  void hold_plans() {
    plan_held_ = true;
    planner_ = [this](IntakeKind kind, const std::vector<std::string>& paths, const std::string& home,
                      const std::function<bool()>& stop) {
      planner_thread_ = std::this_thread::get_id();
      planning_ = true;
      for (int waited = 0; plan_held_ && !stop() && waited < 10000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      plan_gave_up_ = stop();
      return plan_intake(kind, paths, home, stop);
    };
  }
  // The clip's reader has come to the gate; runs posted tasks meanwhile, as
  // the run is planned on a worker and started by the main loop.
  bool wait_arrival(const std::string& clip) {
    return run_until([&] { return gate_.arrived(clip); });
  }
  std::size_t extraction_count() {
    const std::lock_guard lock(extract_mutex_);
    return extractions_.size();
  }
  std::string track(const std::string& name) const { return library_folder(home()) + "/" + name; }
  std::size_t library_entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(library_folder(home())), {}));
  }

  Gate gate_;
  ClipList list_;
  Extractor extractor_;
  DurationReader read_duration_;
  // Plans the runs in place of the real planner when set.
  IntakePlanner planner_;
  std::atomic<bool> plan_held_{false};
  std::atomic<bool> planning_{false};
  std::atomic<bool> plan_gave_up_{false};
  std::atomic<std::thread::id> planner_thread_;
  // Given to the queue: spaces out a drag's reports when set.
  ReportPacer::Timer report_timer_;
  std::mutex extract_mutex_;
  std::vector<ExtractRequest> extractions_;
  std::vector<std::string> log_;
  std::vector<std::string> reports_;
  std::vector<IntakeProgress> progress_;
  std::vector<std::string> failures_;
  std::mutex main_mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> main_queue_;
  std::unique_ptr<ExtractionWorkers> workers_;
  std::unique_ptr<IntakeQueue> queue_;
};

// A started queue that takes clips in one run at a time, waiting for each.
class RunningIntake : public IntakeHarness {
 protected:
  void SetUp() override {
    IntakeHarness::SetUp();
    start();
  }
  void take_in(IntakeKind kind, std::vector<std::string> paths) {
    queue_->enqueue(kind, std::move(paths));
    ASSERT_TRUE(settle());
  }
};

}  // namespace vek::library::testing
