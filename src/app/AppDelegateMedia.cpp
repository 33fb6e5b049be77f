// Page commands that hand work to the media objects: snapshots, merged
// exports and screen recording.


#include "app/AppDelegate.h"
#include "app/Geometry.h"
#include "bridge/CommandArguments.h"
#include "bridge/ScriptCalls.h"
#include "library/LibraryFolders.h"
#include "media/Stamps.h"

namespace vek::app {
namespace {

// The snapshot rectangle has always started this far below the window's top.
constexpr double kSnapshotOffset = 100.0;

std::string frame_text(const media::FrameResult& result) {
  if (!result.error.empty()) {
    return "(null)";
  }
  return "<frame " + std::to_string(result.width) + "x" + std::to_string(result.height) + ">";
}

}  // namespace

std::string AppDelegate::snapshot_path() const {
  return library::output_folder(env_.home) + "/" + media::snapshot_stamp(env_.now()) + ".png";
}

void AppDelegate::get_photo(const std::string& text) {
  const std::optional<bridge::PhotoRequest> request = bridge::photo_request(text);
  if (!request) {
    return;
  }
  log("photo:" + request->clip_url + "," + std::to_string(request->minutes) + "," + std::to_string(request->seconds));
  const media::FrameResult result =
      media_.snapshotter->save_frame(request->clip_url, request->value, bridge::kFrameTimescale, snapshot_path());
  log("err==" + (result.error.empty() ? std::string("(null)") : result.error) + ", imageRef==" + frame_text(result));
  platform_.wv.evaluate(bridge::get_act_call());
}

void AppDelegate::get_full_photo() {
  log("get_photo");
  const ports::Frame frame = platform_.window.frame();
  const ports::ViewSize view = platform_.wv.size();
  const double work_area_top = platform_.window.last_work_area_top().value_or(0.0);
  const double y = frame.y - work_area_top + kSnapshotOffset;
  const media::ScreenRect area{static_cast<int>(frame.x), static_cast<int>(y), static_cast<int>(view.width),
                               static_cast<int>(view.height)};
  log("y:" + height_text(y));
  media_.snapshotter->save_screen_area(area, snapshot_path());
  platform_.wv.evaluate(bridge::get_act_call());
}

void AppDelegate::merger(const std::string& text) {
  log("merger_start");
  std::vector<std::filesystem::path> clips;
  for (const std::string& piece : bridge::merger_pieces(text)) {
    if (library::something_exists(piece)) {
      log("merger:" + piece);
      clips.emplace_back(piece);
    }
  }
  const std::string output = library::output_folder(env_.home) + "/exp_" + media::export_stamp(env_.now()) + ".mov";
  media_.exporter->start(
      std::move(clips), output,
      [this](int percent) { platform_.wv.evaluate(bridge::export_progress_call(percent)); },
      [this](media::ExportStatus status) { export_finished(status); });
}

// Runs on a media thread: only logs and hands the page call to the main thread.
void AppDelegate::export_finished(media::ExportStatus status) {
  if (status == media::ExportStatus::Completed) {
    log("SUCCESS");
    platform_.main_thread.post([this] { doPostExportSuccess(); });
  } else if (status == media::ExportStatus::Failed) {
    log("FAIL");
    platform_.main_thread.post([this] { doPostExportFailed(); });
  }
}

void AppDelegate::doPostExportSuccess() {
  platform_.wv.evaluate(bridge::export_completed_call());
  platform_.desktop.open_folder(library::output_folder(env_.home));
}

void AppDelegate::doPostExportFailed() {
  platform_.wv.evaluate(bridge::export_failed_call());
}

bool AppDelegate::start() {
  file_ = library::output_folder(env_.home) + "/Recording-" + media::recording_stamp(env_.now()) + ".mov";
  media_.recorder->start(file_);
  return true;
}

bool AppDelegate::stop() {
  media_.recorder->stop();
  platform_.desktop.open_folder(library::output_folder(env_.home));
  return true;
}

bool AppDelegate::toggle() {
  return media_.recorder->toggle();
}

}  // namespace vek::app
