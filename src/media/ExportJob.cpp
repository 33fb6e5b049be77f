#include "media/ExportJob.h"

#include <ges/ges.h>

#include "base/glib/CallbackGuard.h"
#include "media/ClipAssetLoader.h"
#include "media/ExportProfile.h"
#include "media/ExportTimeline.h"
#include "base/files/Publisher.h"
#include "media/Pipeline.h"
#include "media/RenderLoop.h"

namespace vek::media {
namespace {

constexpr int kExportWidth = 1920;  // the export frame every clip is scaled into
constexpr int kExportHeight = 1080;

// Makes a new main context the thread's default for its lifetime, so that
// GES and the bus watch of this render stay on this thread.
class OwnMainContext {
 public:
  OwnMainContext() : context_(g_main_context_new()) { g_main_context_push_thread_default(context_.get()); }
  ~OwnMainContext() { g_main_context_pop_thread_default(context_.get()); }
  OwnMainContext(const OwnMainContext&) = delete;
  OwnMainContext& operator=(const OwnMainContext&) = delete;
  GMainContext* get() const { return context_.get(); }

 private:
  base::GMainContextPtr context_;
};

Pipeline make_render_pipeline(const ExportTimeline& edit, const std::filesystem::path& file, std::string& error) {
  GESPipeline* render = ges_pipeline_new();
  Pipeline pipeline = Pipeline::adopt(GST_ELEMENT(render));
  const base::GCharPtr uri(gst_filename_to_uri(file.c_str(), nullptr));
  const ProfilePtr profile = make_export_profile(edit.has_audio);
  if (uri == nullptr || !ges_pipeline_set_timeline(render, edit.timeline.get()) ||
      !ges_pipeline_set_render_settings(render, uri.get(), profile.get()) ||
      !ges_pipeline_set_mode(render, GES_PIPELINE_MODE_RENDER)) {
    error = "cannot set up the render";
    return Pipeline();
  }
  return pipeline;
}

}  // namespace

ExportJob::ExportJob(std::vector<std::filesystem::path> clips, std::filesystem::path output,
                     Exporter::Progress on_progress, Exporter::Completion on_done)
    : clips_(std::move(clips)),
      output_(std::move(output)),
      progress_(std::move(on_progress)),
      on_done_(std::move(on_done)),
      thread_([this] { run(); }) {}

ExportJob::~ExportJob() {
  progress_.close();
  cancelled_.store(true);
  thread_.join();
}

void ExportJob::run() noexcept {
  const ExportStatus status = base::guarded("merge", ExportStatus::Failed, [this] { return render(); });
  base::guarded("merge completion", [this, status] {
    if (on_done_) {
      on_done_(status);
    }
  });
  finished_.store(true);
}

ExportStatus ExportJob::render() {
  std::error_code exists_error;
  if (std::filesystem::exists(output_, exists_error)) {
    g_warning("merge: %s exists already", output_.c_str());
    return ExportStatus::Failed;
  }
  base::FileError file_error;
  std::optional<base::PendingFile> pending =
      base::PendingFile::create(output_, base::PublishMode::NoReplace, file_error);
  if (!pending) {
    g_warning("merge: %s (%s)", file_error.message.c_str(), file_error.detail.c_str());
    return ExportStatus::Failed;
  }
  const OwnMainContext context;
  const std::optional<std::vector<AssetPtr>> assets = load_clip_assets(clips_, cancelled_);
  if (!assets) {
    return ExportStatus::Cancelled;
  }
  const ExportTimeline edit = build_export_timeline(*assets, kExportWidth, kExportHeight);
  if (edit.clip_count == 0) {
    g_warning("merge: nothing to export");
    return ExportStatus::Failed;
  }
  std::string error;
  Pipeline pipeline = make_render_pipeline(edit, pending->temp_path(), error);
  if (!pipeline) {
    g_warning("merge: %s", error.c_str());
    return ExportStatus::Failed;
  }
  const ExportStatus status = run_render(pipeline, context.get(), edit.duration, cancelled_, progress_);
  pipeline.shut_down();
  if (status == ExportStatus::Completed && !pending->publish(file_error)) {
    g_warning("merge: %s (%s)", file_error.message.c_str(), file_error.detail.c_str());
    return ExportStatus::Failed;
  }
  return status;
}

}  // namespace vek::media
