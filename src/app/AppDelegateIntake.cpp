// Clip intake from the chooser, drags and the command line, read on the
// intake workers while the window stays responsive.

#include "app/AppDelegate.h"
#include "bridge/ScriptCalls.h"

namespace vek::app {
namespace {

std::string_view state_word(library::IntakeState state) {
  switch (state) {
    case library::IntakeState::Running:
      return "running";
    case library::IntakeState::Finished:
      return "finished";
    case library::IntakeState::Cancelled:
      return "cancelled";
  }
  return "running";
}

}  // namespace

void AppDelegate::copy_file() {
  std::optional<std::vector<std::string>> chosen = platform_.dialogs.choose_clips();
  // A cancelled chooser still reports, after any intake before it.
  intake_->enqueue(library::IntakeKind::Chosen, chosen ? std::move(*chosen) : std::vector<std::string>{});
}

void AppDelegate::take_in_dragged(const std::vector<std::string>& paths) {
  intake_->enqueue(library::IntakeKind::Dragged, paths);
}

void AppDelegate::cancel_intake() {
  intake_->cancel();
}

library::IntakeListener AppDelegate::intake_listener() {
  library::IntakeListener listener;
  listener.log = [this](std::string_view line) { log(line); };
  listener.report = [this](std::string_view last_clip) { report_clip_list(last_clip); };
  listener.progress = [this](const library::IntakeProgress& progress) { send_intake_progress(progress); };
  listener.failed = [this](const std::string& clip, const std::string& reason) {
    platform_.wv.evaluate(bridge::intake_failed_call(clip, reason));
  };
  return listener;
}

library::IntakeOptions AppDelegate::intake_options() {
  library::IntakeOptions options;
  options.read_duration = env_.read_duration;
  options.report_timer = [this](std::chrono::milliseconds delay, std::function<void()> task) {
    platform_.main_thread.post_after(delay, std::move(task));
  };
  return options;
}

void AppDelegate::send_intake_progress(const library::IntakeProgress& progress) {
  std::optional<std::int64_t> seconds_left;
  if (progress.time_left) {
    seconds_left = progress.time_left->count();
  }
  platform_.wv.evaluate(
      bridge::intake_progress_call({state_word(progress.state), progress.clips_done, progress.clips_total,
                                    progress.bytes_done, progress.bytes_total, seconds_left}));
}

}  // namespace vek::app
