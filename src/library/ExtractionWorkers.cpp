#include "library/ExtractionWorkers.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "base/threads/BackgroundPriority.h"

namespace vek::library {
namespace {

constexpr unsigned kMostClipsAtOnce = 2;
// What a crash during a long intake can cost at most: the renames of this
// last stretch (their tracks are read again at the next intake).
constexpr std::chrono::seconds kMostUnsyncedTime{2};

// Nothing thrown may leave a worker thread: it would end the process.
ExtractOutcome read_clip(const ClipRead& read, track::Cancellation& cancellation) {
  ExtractOutcome outcome;
  if (cancellation.cancelled()) {
    outcome.cancelled = true;
    return outcome;
  }
  try {
    outcome = read(cancellation);
  } catch (const std::exception& error) {
    outcome.failure = error.what();
  }
  return outcome;
}

}  // namespace

unsigned intake_thread_count() {
  return std::clamp(std::thread::hardware_concurrency(), 1U, kMostClipsAtOnce);
}

ExtractionWorkers::ExtractionWorkers(Extractor extract, PostToMain post, unsigned threads)
    : extract_(std::move(extract)), post_(std::move(post)), thread_limit_(std::max(threads, 1U)) {}

ExtractionWorkers::~ExtractionWorkers() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  threads_.clear();  // joins
  folder_syncs_.sync();
}

void ExtractionWorkers::submit(ExtractRequest request, std::shared_ptr<track::Cancellation> cancellation,
                               std::function<void(ExtractOutcome)> done) {
  // The extractor is shared by the jobs; it lives as long as the workers.
  ClipRead read = [this, request = std::move(request)](track::Cancellation& cancel) {
    return extract_(request, cancel, folder_syncs_);
  };
  submit_read(std::move(read), std::move(cancellation), std::move(done));
}

void ExtractionWorkers::submit_read(ClipRead read, std::shared_ptr<track::Cancellation> cancellation,
                                    std::function<void(ExtractOutcome)> done) {
  WorkerTask task = [read = std::move(read), done = std::move(done)](track::Cancellation& cancel) mutable {
    return std::function<void()>(
        [done = std::move(done), outcome = read_clip(read, cancel)]() mutable { done(std::move(outcome)); });
  };
  submit_task(std::move(task), std::move(cancellation));
}

void ExtractionWorkers::submit_task(WorkerTask task, std::shared_ptr<track::Cancellation> cancellation) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back({std::move(task), std::move(cancellation)});
    // Threads start with the first clips and stay for later intakes.
    if (threads_.size() < thread_limit_ && threads_.size() < jobs_.size()) {
      threads_.emplace_back([this] { work(); });
    }
  }
  wake_.notify_one();
}

bool ExtractionWorkers::next_job(Job& job) {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
  if (stopping_) {
    return false;
  }
  job = std::move(jobs_.front());
  jobs_.pop_front();
  return true;
}

// Once per stretch of work rather than once per file: a folder sync costs
// about as much as reading a clip's GPS boxes.
void ExtractionWorkers::sync_folders_when_due() {
  bool idle = false;
  {
    const std::lock_guard lock(mutex_);
    idle = jobs_.empty();
  }
  if (idle || folder_syncs_.due(kMostUnsyncedTime)) {
    folder_syncs_.sync();
  }
}

void ExtractionWorkers::work() {
  base::lower_current_thread_priority();
  Job job;
  while (next_job(job)) {
    std::function<void()> then = job.task(*job.cancellation);
    sync_folders_when_due();
    post_(std::move(then));
  }
}

}  // namespace vek::library
