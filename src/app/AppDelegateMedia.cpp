// Page commands that hand work to the media objects: snapshots, merged
// exports, exports with options and screen recording.

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

#include "app/AppDelegate.h"
#include "app/Geometry.h"
#include "bridge/CommandArguments.h"
#include "bridge/ExportArguments.h"
#include "bridge/ScriptCalls.h"
#include "library/LibraryFolders.h"
#include "media/core/Stamps.h"

namespace vek::app {
namespace {

std::string frame_text(const media::FrameResult& result) {
  if (!result.error.empty()) {
    return "(null)";
  }
  return "<frame " + std::to_string(result.width) + "x" + std::to_string(result.height) + ">";
}

bool file_was_written(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

media::ExportMode mode_of(bridge::ExportKind kind) {
  switch (kind) {
    case bridge::ExportKind::Overlay:
      return media::ExportMode::Overlay;
    case bridge::ExportKind::Copy:
      return media::ExportMode::Copy;
    case bridge::ExportKind::Reencode:
      break;
  }
  return media::ExportMode::Reencode;
}

drive::OverlayElements elements_of(const bridge::OverlayChoice& choice) {
  return {choice.clock, choice.speed, choice.position, choice.gforce, choice.route, choice.decimal};
}

// The page counts clips in the list it sent; pieces naming nothing are left
// out, so a point moves to the clips that remain: an in point on a missing
// clip to the start of the next one, an out point to the end of the one before.
std::optional<drive::ClipPoint> kept_point(const std::optional<bridge::ExportPoint>& point,
                                           const std::vector<bool>& kept, bool is_out) {
  if (!point) {
    return std::nullopt;
  }
  const std::size_t listed = std::min(point->clip, kept.size());
  const auto before =
      static_cast<std::size_t>(std::count(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(listed), true));
  if (listed < kept.size() && kept[listed]) {
    return drive::ClipPoint{before, point->seconds};
  }
  if (is_out) {
    return before == 0 ? drive::ClipPoint{0, 0} : drive::ClipPoint{before - 1, std::numeric_limits<double>::max()};
  }
  return drive::ClipPoint{before, 0};
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
  const std::string path = snapshot_path();
  const media::FrameResult result =
      media_.snapshotter->save_frame(request->clip_url, request->value, bridge::kFrameTimescale, path);
  log("err==" + (result.error.empty() ? std::string("(null)") : result.error) + ", imageRef==" + frame_text(result));
  report_snapshot(path, result.error.empty() ? "no file was written" : result.error);
}

// Success only for a file that is there; otherwise the page learns why.
void AppDelegate::report_snapshot(const std::string& path, const std::string& failure) {
  if (file_was_written(path)) {
    platform_.wv.evaluate(bridge::get_act_call());
    return;
  }
  log("snapshot failed: " + failure);
  platform_.wv.evaluate(bridge::snapshot_failed_call(failure));
}

// Exactly the page as shown: the view's own area on the screen.
void AppDelegate::get_full_photo() {
  log("get_photo");
  const std::optional<ports::ScreenArea> shown = platform_.wv.screen_area();
  if (!shown) {
    report_snapshot("", "the window is not shown");
    return;
  }
  const media::ScreenRect area{shown->x, shown->y, shown->width, shown->height};
  log("y:" + height_text(shown->y));
  const std::string path = snapshot_path();
  const bool captured = media_.snapshotter->save_screen_area(area, path);
  report_snapshot(path, captured ? "no file was written" : "the screen could not be captured");
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
      std::move(clips), output, [this](int percent) { platform_.wv.evaluate(bridge::export_progress_call(percent)); },
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

std::string AppDelegate::read_settings_text() const {
  std::ifstream in(library::settings_file(env_.home), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void AppDelegate::export_clips(const std::string& text) {
  const std::optional<bridge::ExportCommand> command = bridge::export_command(text);
  if (!command) {
    log("export: the command does not parse");
    platform_.wv.evaluate(bridge::export_failed_call());
    return;
  }
  media::ExportRequest request;
  std::vector<bool> kept;
  for (const std::string& piece : command->paths) {
    kept.push_back(library::something_exists(piece));
    if (kept.back()) {
      log("export:" + piece);
      request.clips.emplace_back(piece);
    }
  }
  request.mode = mode_of(command->kind);
  request.elements = elements_of(command->overlay);
  request.in = kept_point(command->in, kept, false);
  request.out = kept_point(command->out, kept, true);
  request.settings_text = read_settings_text();
  const std::string stem = env_.home + "/VEK/files/exp_" + media::export_stamp(env_.now());
  request.output = stem + ".mov";
  request.gpx = stem + ".gpx";
  const std::string movie = request.output.string();
  media_.exporter->start_export(
      std::move(request), [this](int percent) { platform_.wv.evaluate(bridge::export_progress_call(percent)); },
      [this, movie](media::ExportStatus status) { export_with_options_finished(status, movie); });
}

// Runs on a media thread, as export_finished; every outcome reaches the page.
void AppDelegate::export_with_options_finished(media::ExportStatus status, const std::string& movie) {
  switch (status) {
    case media::ExportStatus::Completed:
      log("SUCCESS");
      platform_.main_thread.post([this, movie] {
        doPostExportSuccess();
        platform_.wv.evaluate(bridge::export_saved_call(movie));
      });
      break;
    case media::ExportStatus::Failed:
      log("FAIL");
      platform_.main_thread.post([this] { doPostExportFailed(); });
      break;
    case media::ExportStatus::Incompatible:
      platform_.main_thread.post([this] { platform_.wv.evaluate(bridge::export_incompatible_call()); });
      break;
    case media::ExportStatus::Cancelled:
      platform_.main_thread.post([this] { platform_.wv.evaluate(bridge::export_cancelled_call()); });
      break;
  }
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
