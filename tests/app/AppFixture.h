#pragma once
// An AppDelegate wired to fakes, in a fresh home directory.

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/AppDelegate.h"
#include "base/files/Publisher.h"

namespace vek::app::testing {

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::path(::testing::TempDir()) /
            (std::string("vekapp-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "home");
    home_ = (root_ / "home").string();
    auto snapshotter = std::make_unique<FakeSnapshotter>();
    auto exporter = std::make_unique<FakeExporter>();
    auto recorder = std::make_unique<FakeRecorder>(events_);
    snapshotter_ = snapshotter.get();
    exporter_ = exporter.get();
    recorder_ = recorder.get();
    app_ = std::make_unique<AppDelegate>(
        Platform{wv_, window_, dialogs_, desktop_, log_, main_thread_, volumes_},
        Media{std::move(snapshotter), std::move(exporter), std::move(recorder)},
        Environment{
            home_, kPage, write_file, extractor(), [] { return fixed_time(); }, durations(),
            [this](const bridge::RouteRequest& request, const std::tm& now) { return route_export(request, now); }});
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  static constexpr const char* kPage = "/opt/vek/share/vek/www/index.html";

  // What the route exporter does in a test; runs on the application's worker thread.
  std::function<RouteFile(const bridge::RouteRequest&, const std::tm&)> route_export = [](const bridge::RouteRequest&,
                                                                                          const std::tm&) {
    return RouteFile{true, "route.gpx"};
  };

  // 5 December 2026, 20:33:07 local time.
  static std::tm fixed_time() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 5;
    t.tm_hour = 20;
    t.tm_min = 33;
    t.tm_sec = 7;
    t.tm_yday = 338;
    t.tm_wday = 6;
    return t;
  }

  static bool write_file(const std::string& path, std::string_view text) {
    return base::publish_file(path, text, base::PublishMode::Replace);
  }

  // Writes the track, and its identity record, as the reader would; its event is logged through the
  // outcome, so it shows in intake order whichever worker ran it.
  library::Extractor extractor() {
    return [this](const library::ExtractRequest& request, track::Cancellation& cancellation, base::FolderSyncs&) {
      if (before_extract) {
        before_extract(request);
      }
      library::ExtractOutcome outcome;
      outcome.log_lines.push_back("extract:" + request.clip_path);
      outcome.duration_seconds = durations()(request.clip_path);
      if (request.clip_path.find("HUGE") != std::string::npos) {
        outcome.too_large = true;
        outcome.failure = "track too large, not written";
        return outcome;
      }
      outcome.cancelled = !cancellation.publish_unless_cancelled([&] {
        std::ofstream(home_ + request.relative_track_path) << "data";
        if (!request.identity_file.empty()) std::ofstream(request.identity_file) << request.identity_record;
      });
      return outcome;
    };
  }

  // Clips named in `durations_` have that movie length.
  library::DurationReader durations() {
    return [this](const std::string& clip) -> std::optional<double> {
      const auto found = durations_.find(clip);
      return found == durations_.end() ? std::nullopt : std::optional<double>(found->second);
    };
  }

  // Lets the workers finish and the main thread apply what they did.
  void settle() {
    ASSERT_TRUE(main_thread_.run_until([this] { return !app_->intake_running(); })) << "intake never ended";
  }

  std::string make_file(const std::string& relative) const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "clip";
    return path.string();
  }

  // The navigation, as the web view would be told it.
  bridge::Navigation navigate(const std::string& url) {
    return app_->decidePolicyForNavigation(url, [this](bridge::Navigation) { events_.push_back("decided"); });
  }

  // The clip-list reports among the scripts, in order.
  std::vector<std::string> reports() const {
    std::vector<std::string> made;
    for (const std::string& script : wv_.scripts) {
      if (script.starts_with("file_list_fun(")) {
        made.push_back(script);
      }
    }
    return made;
  }

  std::string library() const { return home_ + "/VEK/data"; }
  std::string files() const { return home_ + "/VEK/files"; }

  // Runs on a worker before each extraction; set before the first intake.
  std::function<void(const library::ExtractRequest&)> before_extract;
  std::filesystem::path root_;
  std::string home_;
  std::map<std::string, double> durations_;
  Events events_;
  FakeWebView wv_{events_};
  FakeWindow window_;
  FakeDialogs dialogs_{events_};
  FakeDesktop desktop_{events_};
  FakeLog log_;
  FakeMainThread main_thread_;
  FakeVolumes volumes_;
  FakeSnapshotter* snapshotter_ = nullptr;
  FakeExporter* exporter_ = nullptr;
  FakeRecorder* recorder_ = nullptr;
  std::unique_ptr<AppDelegate> app_;
};

}  // namespace vek::app::testing
