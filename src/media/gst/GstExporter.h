#pragma once
// Merged exports rendered with GStreamer Editing Services, each on its own thread.

#include <memory>
#include <vector>

#include "media/core/MediaPorts.h"
#include "media/gst/ExportJob.h"

namespace vek::media {

// Main thread only.
class GstExporter final : public Exporter {
 public:
  GstExporter() = default;
  GstExporter(const GstExporter&) = delete;
  GstExporter& operator=(const GstExporter&) = delete;
  // Cancels running exports and waits for them.
  ~GstExporter() override;

  void start(std::vector<std::filesystem::path> clips, std::filesystem::path output, Progress on_progress,
             Completion on_done) override;
  void start_export(ExportRequest request, Progress on_progress, Completion on_done) override;
  void cancel_exports() override;

 private:
  void forget_finished();

  std::vector<std::unique_ptr<ExportJob>> jobs_;
};

}  // namespace vek::media
