#pragma once
// The threads that read clips for the intake, so the main loop never waits
// for a clip. At most one clip is read per thread; outcomes reach the main
// thread through `post`.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/files/FolderSyncs.h"
#include "library/ClipIntake.h"
#include "track/Cancellation.h"

namespace vek::library {

struct ExtractOutcome {
  // The parser's diagnostic lines, kept to be logged in intake order.
  std::vector<std::string> log_lines;
  // Why the clip could not be read; empty when it was.
  std::string failure;
  // Stopped before it wrote anything.
  bool cancelled = false;
  // Refused: the track text passed the size any real clip gives.
  bool too_large = false;
  // The movie's own length, read while the clip was at hand.
  std::optional<double> duration_seconds;
  // The family recorded beside the track, read here rather than on the main thread.
  std::string family;
};

// Reads one clip and writes its track, with the request's identity record in
// the same publish (only a track read whole gets its record; without one, the
// next intake takes the track as the clip's, as for tracks from before
// records); runs on a worker thread. Gives up, writing nothing, once
// `cancellation` is cancelled. The folders of the files it publishes are
// synced with `folder_syncs`, by the workers.
using Extractor = std::function<ExtractOutcome(const ExtractRequest& request, track::Cancellation& cancellation,
                                               base::FolderSyncs& folder_syncs)>;

// One read on a worker thread, told when to give up.
using ClipRead = std::function<ExtractOutcome(track::Cancellation& cancellation)>;

// Work on a worker thread that must not throw; what it returns is run on the
// main thread.
using WorkerTask = std::function<std::function<void()>(track::Cancellation& cancellation)>;

// Queues a task on the main thread; callable from any thread.
using PostToMain = std::function<void(std::function<void()>)>;

// Never more than two clips at once: a card reader gives no more, and the
// page's playback keeps the remaining core.
unsigned intake_thread_count();

class ExtractionWorkers {
 public:
  ExtractionWorkers(Extractor extract, PostToMain post, unsigned threads);
  ExtractionWorkers(const ExtractionWorkers&) = delete;
  ExtractionWorkers& operator=(const ExtractionWorkers&) = delete;
  // Waits for the clips being read; queued ones are dropped.
  ~ExtractionWorkers();

  // Reads the clip on a worker, then runs `done` on the main thread. A clip
  // whose cancellation is cancelled before it starts is not read. The track
  // folder's renames are durable before the `done` of a clip that leaves the
  // workers without work, so before an intake's end is reported; while they
  // stay busy, at least every kMostUnsyncedTime.
  void submit(ExtractRequest request, std::shared_ptr<track::Cancellation> cancellation,
              std::function<void(ExtractOutcome)> done);
  // Any other read of a clip the main loop must not wait for, such as a
  // listed clip's movie length; same order and rules as `submit`.
  void submit_read(ClipRead read, std::shared_ptr<track::Cancellation> cancellation,
                   std::function<void(ExtractOutcome)> done);
  // Any other work the main loop must not wait for, such as walking a
  // dropped folder; in the same queue as the reads.
  void submit_task(WorkerTask task, std::shared_ptr<track::Cancellation> cancellation);
  // Folders whose renames are not yet durable.
  std::size_t unsynced_folders() const { return folder_syncs_.pending(); }

 private:
  struct Job {
    WorkerTask task;
    std::shared_ptr<track::Cancellation> cancellation;
  };
  void work();
  bool next_job(Job& job);
  void sync_folders_when_due();

  Extractor extract_;
  PostToMain post_;
  unsigned thread_limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  base::FolderSyncs folder_syncs_;
  std::vector<std::jthread> threads_;
};

}  // namespace vek::library
