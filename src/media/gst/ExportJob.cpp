#include "media/gst/ExportJob.h"

#include <ges/ges.h>

#include <fstream>

#include "base/files/Publisher.h"
#include "base/glib/CallbackGuard.h"
#include "base/glib/TimeZones.h"
#include "drive/KeyFrameCut.h"
#include "drive/RangeGpx.h"
#include "media/gst/ClipTracks.h"
#include "media/gst/CopyJoin.h"
#include "media/gst/ExportProfile.h"
#include "media/gst/ExportTimeline.h"
#include "media/gst/Pipeline.h"
#include "media/gst/RenderLoop.h"
#include "media/gst/TrackOverlay.h"

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

// The movie's temporary file and, when asked for, the GPX's; nullopt when a
// final name is taken already or the folder refuses a file.
struct PendingOutputs {
  base::PendingFile movie;
  std::optional<base::PendingFile> gpx;
};

std::optional<PendingOutputs> create_outputs(const ExportRequest& request) {
  for (const std::filesystem::path& target : {request.output, request.gpx}) {
    std::error_code exists_error;
    if (!target.empty() && std::filesystem::exists(target, exists_error)) {
      g_warning("export: %s exists already", target.c_str());
      return std::nullopt;
    }
  }
  base::FileError error;
  std::optional<base::PendingFile> movie =
      base::PendingFile::create(request.output, base::PublishMode::NoReplace, error);
  std::optional<base::PendingFile> gpx;
  if (movie && !request.gpx.empty()) {
    gpx = base::PendingFile::create(request.gpx, base::PublishMode::NoReplace, error);
  }
  if (!movie || (!request.gpx.empty() && !gpx)) {
    g_warning("export: %s (%s)", error.message.c_str(), error.detail.c_str());
    return std::nullopt;
  }
  return PendingOutputs{std::move(*movie), std::move(gpx)};
}

bool publish(PendingOutputs& outputs) {
  base::FileError error;
  if (!outputs.movie.publish(error)) {
    g_warning("export: %s (%s)", error.message.c_str(), error.detail.c_str());
    return false;
  }
  // The movie is out; a GPX name taken in the meantime costs only the GPX.
  if (outputs.gpx && !outputs.gpx->publish(error)) {
    g_warning("export: the route: %s (%s)", error.message.c_str(), error.detail.c_str());
  }
  return true;
}

}  // namespace

ExportJob::ExportJob(ExportRequest request, Exporter::Progress on_progress, Exporter::Completion on_done)
    : request_(std::move(request)),
      progress_(std::move(on_progress)),
      on_done_(std::move(on_done)),
      thread_([this] { run(); }) {}

ExportJob::~ExportJob() {
  progress_.close();
  cancelled_.store(true);
  thread_.join();
}

void ExportJob::run() noexcept {
  const ExportStatus status = base::guarded("export", ExportStatus::Failed, [this] { return render(); });
  base::guarded("export completion", [this, status] {
    if (on_done_) {
      on_done_(status);
    }
  });
  finished_.store(true);
}

ExportStatus ExportJob::render() {
  std::optional<PendingOutputs> outputs = create_outputs(request_);
  if (!outputs) {
    return ExportStatus::Failed;
  }
  const OwnMainContext context;
  const std::optional<std::vector<AssetPtr>> assets = load_clip_assets(request_.clips, cancelled_);
  if (!assets) {
    return ExportStatus::Cancelled;
  }
  const std::optional<std::vector<drive::Segment>> segments = plan_segments(*assets);
  if (!segments) {
    return ExportStatus::Incompatible;
  }
  if (segments->empty()) {
    g_warning("export: nothing to export");
    return ExportStatus::Failed;
  }
  // One read of the clips' tracks serves the GPX and the overlay alike.
  std::optional<std::vector<drive::ClipTrack>> tracks;
  if (outputs->gpx || request_.mode == ExportMode::Overlay) {
    tracks = read_clip_tracks(request_.clips, cancelled_);
    if (!tracks) {
      return ExportStatus::Cancelled;
    }
  }
  if (outputs->gpx && !write_gpx(*tracks, *segments, outputs->gpx->temp_path())) {
    return ExportStatus::Failed;
  }
  const ExportStatus status =
      render_movie(*assets, *segments, std::move(tracks), outputs->movie.temp_path(), context.get());
  if (status == ExportStatus::Completed && !publish(*outputs)) {
    return ExportStatus::Failed;
  }
  return status;
}

std::optional<std::vector<drive::Segment>> ExportJob::plan_segments(const std::vector<AssetPtr>& assets) const {
  const std::vector<drive::Segment> segments =
      drive::export_segments(asset_durations(assets), request_.in, request_.out);
  if (request_.mode != ExportMode::Copy || segments.empty()) {
    return segments;
  }
  if (const std::optional<std::string> mismatch = copy_mismatch(assets, segments)) {
    g_message("export: no join without re-encoding: %s", mismatch->c_str());
    return std::nullopt;
  }
  return key_frame_segments(assets, segments);
}

std::unique_ptr<OverlayComposer> ExportJob::make_composer(std::vector<drive::ClipTrack> tracks,
                                                          const std::vector<drive::Segment>& segments) const {
  const drive::TimeSettings settings = drive::read_time_settings(request_.settings_text);
  return std::make_unique<OverlayComposer>(
      drive::DriveOverlayModel(std::move(tracks), segments, settings, base::zone_offset_at,
                               request_.elements.decimal_position),
      request_.elements);
}

ExportStatus ExportJob::render_movie(const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                                     std::optional<std::vector<drive::ClipTrack>> tracks,
                                     const std::filesystem::path& file, GMainContext* context) {
  std::string error;
  if (request_.mode == ExportMode::Copy) {
    return render_copy(assets, segments, file, context, cancelled_, progress_);
  }
  const std::unique_ptr<OverlayComposer> composer =
      request_.mode == ExportMode::Overlay ? make_composer(std::move(*tracks), segments) : nullptr;
  const ExportTimeline edit = build_export_timeline(assets, segments, kExportWidth, kExportHeight);
  const bool overlays_added =
      !composer || (edit.timeline && add_track_overlay(edit.timeline.get(), segments, *composer));
  Pipeline pipeline = edit.clip_count > 0 && overlays_added ? make_render_pipeline(edit, file, error) : Pipeline();
  if (!pipeline) {
    g_warning("export: %s", overlays_added ? error.c_str() : "the overlay cannot be set up");
    return ExportStatus::Failed;
  }
  const ExportStatus status = run_render(pipeline, context, edit.duration, cancelled_, progress_);
  pipeline.shut_down();
  return status;
}

std::vector<drive::Segment> ExportJob::key_frame_segments(const std::vector<AssetPtr>& assets,
                                                          const std::vector<drive::Segment>& segments) const {
  std::vector<std::vector<double>> key_frames(request_.clips.size());
  for (const drive::Segment& segment : segments) {
    if (key_frames[segment.clip].empty() && (segment.inpoint > 0 || request_.out)) {
      key_frames[segment.clip] = key_frame_times(request_.clips[segment.clip], cancelled_);
    }
  }
  return drive::snap_to_key_frames(segments, key_frames, asset_durations(assets));
}

bool ExportJob::write_gpx(const std::vector<drive::ClipTrack>& tracks, const std::vector<drive::Segment>& segments,
                          const std::filesystem::path& file) const {
  const drive::TimeSettings settings = drive::read_time_settings(request_.settings_text);
  const std::string text =
      drive::range_gpx(tracks, segments, settings, base::zone_offset_at, request_.output.stem().string());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    g_warning("export: cannot write %s", file.c_str());
    return false;
  }
  return true;
}

}  // namespace vek::media
