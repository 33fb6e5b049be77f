#include "media/gst/GstExporter.h"

#include <algorithm>

namespace vek::media {

// All renders stop together; the jobs' destructors then wait for each.
GstExporter::~GstExporter() {
  cancel_exports();
}

void GstExporter::cancel_exports() {
  for (const auto& job : jobs_) {
    job->cancel();
  }
}

void GstExporter::start(std::vector<std::filesystem::path> clips, std::filesystem::path output, Progress on_progress,
                        Completion on_done) {
  ExportRequest request;
  request.clips = std::move(clips);
  request.output = std::move(output);
  start_export(std::move(request), std::move(on_progress), std::move(on_done));
}

void GstExporter::start_export(ExportRequest request, Progress on_progress, Completion on_done) {
  forget_finished();
  jobs_.push_back(std::make_unique<ExportJob>(std::move(request), std::move(on_progress), std::move(on_done)));
}

void GstExporter::forget_finished() {
  std::erase_if(jobs_, [](const std::unique_ptr<ExportJob>& job) { return job->finished(); });
}

}  // namespace vek::media
