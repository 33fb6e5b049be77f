#pragma once
// The application object: owns the clip list, the window proportion state
// and the capture objects, and carries every page command. It reaches the
// platform only through the ports, so it runs in tests without a display.
// Main thread only, except where a method says otherwise.

#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/ports/Desktop.h"
#include "app/ports/Dialogs.h"
#include "app/ports/Log.h"
#include "app/ports/MainThread.h"
#include "app/ports/Volumes.h"
#include "app/ports/WebView.h"
#include "app/ports/Window.h"
#include "bridge/CommandDispatch.h"
#include "bridge/RouteRequest.h"
#include "library/CardOffers.h"
#include "library/ClipList.h"
#include "library/ExtractionWorkers.h"
#include "library/IntakeQueue.h"
#include "library/LibraryFolders.h"
#include "media/core/MediaPorts.h"

namespace vek::app {

// The platform pieces the application talks to; not owned.
struct Platform {
  ports::WebView& wv;
  ports::Window& window;
  ports::Dialogs& dialogs;
  ports::Desktop& desktop;
  ports::Log& log;
  ports::MainThread& main_thread;
  ports::Volumes& volumes;
};

// Media work; owned by the application object for its whole life.
struct Media {
  std::unique_ptr<media::Snapshotter> snapshotter;
  std::unique_ptr<media::Exporter> exporter;
  std::unique_ptr<media::ScreenRecorder> recorder;
};

// A route file in the output folder: its name, or why it was not written.
struct RouteFile {
  bool written = false;
  std::string text;
};
// Reads the clips and writes their route file; called on a worker thread.
using RouteExporter = std::function<RouteFile(const bridge::RouteRequest& request, const std::tm& now)>;

// Files and time.
struct Environment {
  std::string home;
  // Absolute path of the page, www/index.html.
  std::string page;
  library::FileWriter write;
  // Runs on the intake workers.
  library::Extractor extract;
  std::function<std::tm()> now;
  // Runs on the intake workers.
  library::DurationReader read_duration;
  RouteExporter export_route;
};

class AppDelegate {
 public:
  AppDelegate(Platform platform, Media media, Environment environment);

  // Start-up: empty clip list, page load started, window sized.
  void applicationDidFinishLaunching();
  // Every completed load of the main frame reports the clip list.
  void webViewDidFinishLoad(bool main_frame);
  // The page's web process is gone: logs it, and reloads the page, which
  // then tells the user, unless the page keeps failing without running a
  // single command in between.
  void webProcessDidTerminate(std::string_view reason);
  // Clips named at start-up, taken in like one drag after the first load.
  void set_startup_clips(std::vector<std::string> paths);
  void windowShouldClose();
  void windowDidResize();
  void resizes();

  // Runs the page commands in the URL and returns what becomes of the
  // navigation. `decide` is told before any handler runs, so the page stays
  // in place while an import dialog is open.
  bridge::Navigation decidePolicyForNavigation(const std::string& url,
                                               const std::function<void(bridge::Navigation)>& decide);

  void read_file_list();
  // The chooser, then its clips taken in on the intake workers; the report
  // follows when the run is done.
  void copy_file();
  // One drag of files over the web view, taken in once on the intake workers.
  void take_in_dragged(const std::vector<std::string>& paths);
  // Stops the running intake and drops the queued ones.
  void cancel_intake();
  // Takes in the clips of the card offered as `id` (the page's click).
  void import_card(const std::string& text);
  bool intake_running() const { return intake_->running(); }

  // Screen recording; the results are never read by the page.
  bool start();
  bool stop();
  bool toggle();

  // Export completion steps; run on the main thread.
  void doPostExportSuccess();
  void doPostExportFailed();

  const library::ClipList& clip_list() const { return clips_; }
  const std::optional<std::string>& oheight() const { return oheight_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  void run_command(bridge::Command command, const std::string& text);
  // The clip list's, settings' and route commands; false for any other.
  bool run_clip_command(bridge::Command command, const std::string& text);
  // Snapshots, recording, exports and the output folder.
  void run_media_command(bridge::Command command, const std::string& text);
  void report_clip_list(std::string_view current_clip);
  void file_del(const std::string& decoded_text);
  void check_file(const std::string& text);
  void open_dir();
  void save_set(const std::string& text);
  void get_photo(const std::string& text);
  void get_full_photo();
  void report_snapshot(const std::string& path, const std::string& failure);
  void merger(const std::string& text);
  void export_finished(media::ExportStatus status);
  void export_clips(const std::string& text);
  void export_with_options_finished(media::ExportStatus status, const std::string& movie);
  std::string read_settings_text() const;
  void route_out(const std::string& text);
  void route_out_finished(const RouteFile& file);
  std::string snapshot_path() const;
  void log(std::string_view line) const;
  library::IntakeListener intake_listener();
  library::IntakeOptions intake_options();
  void send_intake_progress(const library::IntakeProgress& progress);
  void watch_cards();
  void send_card_offers();

  Platform platform_;
  Media media_;
  Environment env_;
  // Target file of the screen recording started last.
  std::filesystem::path file_;
  library::ClipList clips_;
  // Window height as "%f" at the last pass that adjusted the window.
  std::optional<std::string> oheight_;
  std::vector<std::string> startup_clips_;
  // Why the last web process ended, until the reloaded page is told.
  std::optional<std::string> page_restart_reason_;
  int restarts_without_command_ = 0;
  // One route file at a time; joined before the members above go.
  std::atomic<bool> route_busy_{false};
  std::jthread route_worker_;
  // Declared last: the queue goes first, then the workers finish their clips.
  std::unique_ptr<library::ExtractionWorkers> workers_;
  std::unique_ptr<library::IntakeQueue> intake_;
  // Counts cards on its own thread; goes before the queue it feeds.
  std::unique_ptr<library::CardOffers> cards_;
};

}  // namespace vek::app
