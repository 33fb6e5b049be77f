#pragma once
// One merged export, rendered on its own thread with its own main context.

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "media/MediaPorts.h"
#include "media/ProgressRelay.h"

namespace vek::media {

class ExportJob {
 public:
  // Starts rendering at once. `on_done` runs once, on the job's thread.
  ExportJob(std::vector<std::filesystem::path> clips, std::filesystem::path output, Exporter::Progress on_progress,
            Exporter::Completion on_done);
  // Main thread: drops pending progress, cancels a running render and waits
  // for the thread (a cancelled render reports Cancelled and leaves no file).
  ~ExportJob();
  ExportJob(const ExportJob&) = delete;
  ExportJob& operator=(const ExportJob&) = delete;

  // Any thread: asks a running render to stop; it then reports Cancelled.
  void cancel() noexcept { cancelled_.store(true); }
  // True once `on_done` has returned.
  bool finished() const noexcept { return finished_.load(); }

 private:
  void run() noexcept;
  ExportStatus render();

  std::vector<std::filesystem::path> clips_;
  std::filesystem::path output_;
  ProgressRelay progress_;
  Exporter::Completion on_done_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace vek::media
