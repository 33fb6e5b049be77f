#include "library/IntakeQueue.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>

#include "track/io/FamilyRecord.h"

namespace vek::library {
namespace {

// A drag lists a clip within this time of its being ready: about the page's
// time to lay out a list of hundreds, and quick to the eye.
constexpr std::chrono::milliseconds kDragReportSpacing{100};
// The page's progress line: counts and time left, read at a glance. A run
// still looking through its folders after this long shows that it runs,
// with Cancel, rather than nothing at all.
constexpr std::chrono::milliseconds kProgressSpacing{250};

}  // namespace

std::chrono::milliseconds drag_report_spacing(std::size_t listed) {
  constexpr std::size_t kClipsPerSpacing = 400;  // clips listed per kDragReportSpacing
  constexpr std::chrono::milliseconds kLongest{1000};
  const auto grown = kDragReportSpacing * static_cast<std::int64_t>(listed / kClipsPerSpacing + 1);
  return std::min(grown, kLongest);
}

struct IntakeQueue::Run {
  IntakeKind kind = IntakeKind::Dragged;
  std::vector<IntakeStep> steps;
  std::vector<std::optional<ExtractOutcome>> outcomes;
  // Steps whose worker read (track or movie length) is still to come.
  std::vector<bool> awaited;
  // The next step to apply; all before it are in the clip list.
  std::size_t next = 0;
  std::string last_clip;
  bool planned = false;
  std::shared_ptr<track::Cancellation> cancellation = std::make_shared<track::Cancellation>();
};

IntakeQueue::IntakeQueue(ClipList& list, std::string home, ExtractionWorkers& workers, IntakeListener listener,
                         IntakeOptions options)
    : list_(list),
      home_(std::move(home)),
      workers_(workers),
      listener_(std::move(listener)),
      read_duration_(std::move(options.read_duration)),
      plan_(std::move(options.plan)),
      timer_(options.report_timer),
      pacer_(kDragReportSpacing, options.report_timer,
             [this](std::string_view last_clip) { listener_.report(last_clip); }),
      progress_pacer_(kProgressSpacing, std::move(options.report_timer),
                      [this](std::string_view) { send_progress(); }) {}

IntakeQueue::~IntakeQueue() {
  if (run_) {
    run_->cancellation->cancel();
  }
}

void IntakeQueue::enqueue(IntakeKind kind, std::vector<std::string> paths) {
  waiting_.emplace_back(kind, std::move(paths));
  if (!run_) {
    start_next();
  }
}

void IntakeQueue::cancel() {
  waiting_.clear();
  if (!run_) {
    return;
  }
  run_->cancellation->cancel();
  const std::shared_ptr<Run> run = std::move(run_);
  listener_.log("intake cancelled: " + std::to_string(progress_.clips_done) + " of " +
                std::to_string(progress_.clips_total) + " clips taken in");
  pacer_.flush();
  if (!reports_each_path(run->kind)) {
    listener_.report(run->last_clip.empty() ? kNoClip : std::string_view(run->last_clip));
  }
  end_session(IntakeState::Cancelled);
}

void IntakeQueue::start_next() {
  while (!run_ && !waiting_.empty()) {
    auto [kind, paths] = std::move(waiting_.front());
    waiting_.pop_front();
    start(kind, std::move(paths));
  }
}

// The worker's task uses nothing of the queue, which may go before the walk
// ends; only its answer, on the main thread, looks for the run.
void IntakeQueue::start(IntakeKind kind, std::vector<std::string> paths) {
  if (!session_open_) {
    progress_ = {};
    progress_shown_ = false;
    started_ = std::chrono::steady_clock::now();
    session_open_ = true;
  }
  auto run = std::make_shared<Run>();
  run->kind = kind;
  // Nothing to look through, nothing to show meanwhile.
  const bool looks_through_paths = !paths.empty();
  auto plan_run = [this, weak = std::weak_ptr<Run>(run), plan = plan_, kind, paths = std::move(paths),
                   home = home_](track::Cancellation& cancellation) {
    std::vector<IntakeStep> steps;
    std::string failure;
    try {
      steps = plan(kind, paths, home, [&cancellation] { return cancellation.cancelled(); });
    } catch (const std::exception& error) {
      failure = error.what();
    }
    return std::function<void()>([this, weak, steps = std::move(steps), failure]() mutable {
      if (const std::shared_ptr<Run> alive = weak.lock()) {
        planned(alive, std::move(steps), failure);
      }
    });
  };
  if (timer_ && looks_through_paths) {
    timer_(kProgressSpacing, [this, weak = std::weak_ptr<Run>(run)] { show_planning(weak); });
  }
  workers_.submit_task(std::move(plan_run), run->cancellation);
  run_ = std::move(run);
}

// Only the queue holds its run: a run still alive means the queue is too.
void IntakeQueue::show_planning(const std::weak_ptr<Run>& weak) {
  const std::shared_ptr<Run> run = weak.lock();
  if (run && run == run_ && !run->planned) {
    progress_shown_ = true;
    send_progress();
  }
}

void IntakeQueue::planned(const std::shared_ptr<Run>& run, std::vector<IntakeStep> steps, const std::string& failure) {
  if (run != run_) {
    return;
  }
  if (!failure.empty()) {
    listener_.log("cannot take clips in: " + failure);
  }
  run->planned = true;
  run->steps = std::move(steps);
  run->outcomes.resize(run->steps.size());
  run->awaited.resize(run->steps.size());
  for (std::size_t i = 0; i < run->steps.size(); ++i) {
    const IntakeStep& step = run->steps[i];
    progress_.clips_total += step.taken_in ? 1 : 0;
    progress_.bytes_total += step.bytes;
    submit_reads(run, i);
  }
  // A plan with nothing to count leaves a shown "looking" line as it is: the
  // end follows at once.
  if (progress_.clips_total > 0) {
    send_progress();
  }
  apply_ready_steps();
}

// A clip whose track was read before still has its movie length and family
// read, on a worker too: a header on a slow card must not hold up the window.
void IntakeQueue::submit_reads(const std::shared_ptr<Run>& run, std::size_t index) {
  const IntakeStep& step = run->steps[index];
  auto done = [this, weak = std::weak_ptr<Run>(run), index](ExtractOutcome outcome) {
    // A cancelled or finished run has gone, and the queue with it may have.
    if (const std::shared_ptr<Run> alive = weak.lock()) {
      extracted(alive, index, std::move(outcome));
    }
  };
  if (step.extraction) {
    run->awaited[index] = true;
    workers_.submit(*step.extraction, run->cancellation, std::move(done));
  } else if (step.taken_in && !list_.lists_track(step.track_path)) {
    run->awaited[index] = true;
    workers_.submit_read(
        [read = read_duration_, clip = step.source_path, track = step.track_path](track::Cancellation&) {
          ExtractOutcome outcome;
          if (read) outcome.duration_seconds = read(clip);
          outcome.family = track::io::read_family_record(track);
          return outcome;
        },
        run->cancellation, std::move(done));
  }
}

void IntakeQueue::extracted(const std::shared_ptr<Run>& run, std::size_t index, ExtractOutcome outcome) {
  if (run != run_) {
    return;
  }
  progress_.bytes_done += run->steps.at(index).bytes;
  run->outcomes.at(index) = std::move(outcome);
  apply_ready_steps();
}

// The run is held here: a listener may cancel the queue while a step applies.
void IntakeQueue::apply_ready_steps() {
  const std::shared_ptr<Run> run = run_;
  while (run && run_ == run && run->next < run->steps.size()) {
    const std::size_t index = run->next;
    const std::optional<ExtractOutcome>& outcome = run->outcomes[index];
    if (run->awaited[index] && !outcome) {
      return;
    }
    ++run->next;
    apply(*run, run->steps[index], outcome ? &*outcome : nullptr);
  }
  if (run && run_ == run) {
    finish_run();
  }
}

// `outcome` is the worker's read of the step, if it had one.
void IntakeQueue::apply(Run& run, const IntakeStep& step, const ExtractOutcome* outcome) {
  for (const std::string& line : step.log_lines) {
    listener_.log(line);
  }
  if (outcome != nullptr) {
    for (const std::string& line : outcome->log_lines) {
      listener_.log(line);
    }
    if (!outcome->failure.empty()) {
      listener_.log("cannot read " + step.source_path + ": " + outcome->failure);
      listener_.failed(step.source_path, outcome->failure);
    }
  }
  if (step.taken_in) {
    list_step(
        list_, step,
        outcome != nullptr ? StepFacts{outcome->duration_seconds, outcome->too_large, outcome->family} : StepFacts{});
    run.last_clip = step.source_path;
    ++progress_.clips_done;
  }
  if (reports_each_path(run.kind)) {
    pacer_.set_spacing(drag_report_spacing(list_.entries().size()));
    pacer_.request(run.last_clip.empty() ? std::string(kNoClip) : run.last_clip);
  }
  if (step.taken_in) {
    progress_pacer_.request({});
  }
}

void IntakeQueue::finish_run() {
  const std::shared_ptr<Run> run = std::move(run_);
  pacer_.flush();  // the run's last report goes at once
  if (!reports_each_path(run->kind)) {
    listener_.report(run->last_clip.empty() ? kNoClip : std::string_view(run->last_clip));
  }
  start_next();
  if (!run_) {
    end_session(IntakeState::Finished);
  }
}

void IntakeQueue::end_session(IntakeState state) {
  progress_pacer_.flush();
  progress_.state = state;
  send_progress();
  session_open_ = false;
}

void IntakeQueue::send_progress() {
  if (progress_.clips_total == 0 && !progress_shown_) {
    return;
  }
  progress_shown_ = true;
  progress_.time_left =
      estimate_time_left(progress_.bytes_done, progress_.bytes_total, std::chrono::steady_clock::now() - started_);
  listener_.progress(progress_);
}

}  // namespace vek::library
