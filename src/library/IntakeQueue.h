#pragma once
// The intake runs of one window, one after the other: a second import while
// one runs waits behind it. A run's paths are planned on a worker, since a
// dropped folder is walked and every clip looked at. Steps are applied to
// the clip list in the planned order whatever order the workers finish in.
// Main thread only.

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/ClipIntake.h"
#include "library/ClipList.h"
#include "library/ExtractionWorkers.h"
#include "library/IntakeProgress.h"
#include "library/ReportPacer.h"

namespace vek::library {

// What the queue tells its owner; every call comes on the main thread.
struct IntakeListener {
  std::function<void(std::string_view line)> log;
  // The clip-list report, with the run's last clip or "(null)".
  std::function<void(std::string_view last_clip)> report;
  std::function<void(const IntakeProgress& progress)> progress;
  // A clip that could not be read: its path and the reason.
  std::function<void(const std::string& clip, const std::string& reason)> failed;
};

// The spacing of a drag's reports once `listed` clips are listed. Every report
// carries the whole list and the page's work on it grows with its length, so
// a long list is reported less often: each clip is still listed within a
// second of being ready.
std::chrono::milliseconds drag_report_spacing(std::size_t listed);

// Plans a run, on a worker.
using IntakePlanner =
    std::function<std::vector<IntakeStep>(IntakeKind kind, const std::vector<std::string>& paths,
                                          const std::string& home, const std::function<bool()>& stop)>;

struct IntakeOptions {
  // The length of a clip whose track was read before; runs on the workers.
  DurationReader read_duration;
  // With it a drag's reports are spaced out (ReportPacer), and so is the
  // progress; without it each path reports at once.
  ReportPacer::Timer report_timer;
  IntakePlanner plan = plan_intake;
};

class IntakeQueue {
 public:
  IntakeQueue(ClipList& list, std::string home, ExtractionWorkers& workers, IntakeListener listener,
              IntakeOptions options = {});
  IntakeQueue(const IntakeQueue&) = delete;
  IntakeQueue& operator=(const IntakeQueue&) = delete;
  ~IntakeQueue();

  // Starts the run at once when idle, else queues it.
  void enqueue(IntakeKind kind, std::vector<std::string> paths);
  // Stops the running intake and drops the queued ones. Returns once no
  // track file is being written; clips being read finish unseen.
  void cancel();
  bool running() const { return run_ != nullptr; }
  const IntakeProgress& progress() const { return progress_; }

 private:
  struct Run;
  void start_next();
  void start(IntakeKind kind, std::vector<std::string> paths);
  void planned(const std::shared_ptr<Run>& run, std::vector<IntakeStep> steps, const std::string& failure);
  void submit_reads(const std::shared_ptr<Run>& run, std::size_t index);
  void extracted(const std::shared_ptr<Run>& run, std::size_t index, ExtractOutcome outcome);
  void apply_ready_steps();
  void apply(Run& run, const IntakeStep& step, const ExtractOutcome* outcome);
  void finish_run();
  void show_planning(const std::weak_ptr<Run>& run);
  void end_session(IntakeState state);
  void send_progress();

  ClipList& list_;
  std::string home_;
  ExtractionWorkers& workers_;
  IntakeListener listener_;
  DurationReader read_duration_;
  IntakePlanner plan_;
  ReportPacer::Timer timer_;
  ReportPacer pacer_;
  // A card of small clips is read faster than the page needs to hear of it.
  ReportPacer progress_pacer_;
  std::deque<std::pair<IntakeKind, std::vector<std::string>>> waiting_;
  std::shared_ptr<Run> run_;
  // Totals add up over the runs until the queue runs dry.
  IntakeProgress progress_;
  // The page shows this session's progress, even with no clip counted yet.
  bool progress_shown_ = false;
  bool session_open_ = false;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace vek::library
