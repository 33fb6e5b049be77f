#include "app/AppDelegate.h"

#include <utility>

#include "bridge/ScriptCalls.h"

namespace vek::app {
namespace {

// What the first report after every page load names as the current clip.
constexpr std::string_view kPageLoadClip = "0";
// A page that ends its process again and again is not reloaded for ever.
constexpr int kMaxRestartsWithoutCommand = 3;

}  // namespace

AppDelegate::AppDelegate(Platform platform, Media media, Environment environment)
    : platform_(platform),
      media_(std::move(media)),
      env_(std::move(environment)),
      workers_(std::make_unique<library::ExtractionWorkers>(
          env_.extract, [this](std::function<void()> task) { platform_.main_thread.post(std::move(task)); },
          library::intake_thread_count())),
      intake_(
          std::make_unique<library::IntakeQueue>(clips_, env_.home, *workers_, intake_listener(), intake_options())) {
  watch_cards();
}

void AppDelegate::applicationDidFinishLaunching() {
  clips_ = {};
  platform_.wv.load_page(env_.page);
  resizes();
}

void AppDelegate::webViewDidFinishLoad(bool main_frame) {
  if (!main_frame) {
    return;
  }
  read_file_list();
  if (page_restart_reason_) {
    platform_.wv.evaluate(bridge::page_restarted_call(*std::exchange(page_restart_reason_, std::nullopt)));
  }
  if (!startup_clips_.empty()) {
    take_in_dragged(std::exchange(startup_clips_, {}));
  }
}

void AppDelegate::webProcessDidTerminate(std::string_view reason) {
  log("page process " + std::string(reason));
  if (++restarts_without_command_ > kMaxRestartsWithoutCommand) {
    log("page process ended " + std::to_string(kMaxRestartsWithoutCommand) + " times in a row; not reloaded");
    return;
  }
  page_restart_reason_ = std::string(reason);
  platform_.wv.load_page(env_.page);
}

void AppDelegate::set_startup_clips(std::vector<std::string> paths) {
  startup_clips_ = std::move(paths);
}

// Cancelling waits only for a track file being published, so the window goes
// at once and leaves no partial file.
void AppDelegate::windowShouldClose() {
  intake_->cancel();
  platform_.desktop.exit_now(0);
}

void AppDelegate::read_file_list() {
  library::ensure_library(env_.home, env_.write);
  report_clip_list(kPageLoadClip);
  if (intake_->running()) {
    send_intake_progress(intake_->progress());  // a reloaded page starts without it
  }
  send_card_offers();
  resizes();
  log("finish");
}

// The facts go first, so the page has them when it builds the list.
void AppDelegate::report_clip_list(std::string_view current_clip) {
  if (clips_.has_facts()) {
    platform_.wv.evaluate(bridge::clip_facts_call(clips_.clip_list_text(), clips_.facts_text()));
  }
  platform_.wv.evaluate(bridge::file_list_call(clips_.track_list_text(), clips_.clip_list_text(), current_clip,
                                               library::library_folder(env_.home)));
}

bridge::Navigation AppDelegate::decidePolicyForNavigation(const std::string& url,
                                                          const std::function<void(bridge::Navigation)>& decide) {
  const bridge::DispatchPlan plan = bridge::dispatch(url);
  if (!plan.commands.empty()) {
    restarts_without_command_ = 0;
  }
  decide(plan.navigation);
  if (plan.navigation == bridge::Navigation::OpenExternally) {
    platform_.desktop.open_uri(url);
  }
  for (const bridge::Command command : plan.commands) {
    run_command(command, plan.text);
  }
  return plan.navigation;
}

void AppDelegate::run_command(bridge::Command command, const std::string& text) {
  if (!run_clip_command(command, text)) {
    run_media_command(command, text);
  }
}

bool AppDelegate::run_clip_command(bridge::Command command, const std::string& text) {
  using bridge::Command;
  switch (command) {
    case Command::FileDel:
      file_del(text);
      return true;
    case Command::FileCopy:
      copy_file();
      return true;
    case Command::CheckFile:
      check_file(text);
      return true;
    case Command::SaveSet:
      save_set(text);
      return true;
    case Command::IntakeCancel:
      cancel_intake();
      return true;
    case Command::RouteOut:
      route_out(text);
      return true;
    case Command::CardImport:
      import_card(text);
      return true;
    default:
      return false;
  }
}

void AppDelegate::run_media_command(bridge::Command command, const std::string& text) {
  using bridge::Command;
  switch (command) {
    case Command::GetPhoto:
      get_photo(text);
      break;
    case Command::GetFullPhoto:
      get_full_photo();
      break;
    case Command::OpenDir:
      open_dir();
      break;
    case Command::Recode:
      start();
      break;
    case Command::Norecode:
      stop();
      break;
    case Command::Merger:
      merger(text);
      break;
    case Command::ExportClips:
      export_clips(text);
      break;
    case Command::ExportCancel:
      media_.exporter->cancel_exports();
      break;
    default:
      log("command not handled: " + std::to_string(static_cast<int>(command)));
  }
}

void AppDelegate::log(std::string_view line) const {
  platform_.log.line(line);
}

}  // namespace vek::app
