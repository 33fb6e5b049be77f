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
        Platform{wv_, window_, dialogs_, desktop_, log_, main_thread_},
        Media{std::move(snapshotter), std::move(exporter), std::move(recorder)},
        Environment{home_, kPage, write_file, extractor(), [] { return fixed_time(); }, durations(),
                    [this](const bridge::RouteRequest& request, const std::tm& now) { return route_export(request, now); }});
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  static constexpr const char* kPage = "/opt/vek/share/vek/www/index.html";

  // What the route exporter does in a test; runs on the application's worker thread.
  std::function<RouteFile(const bridge::RouteRequest&, const std::tm&)> route_export =
      [](const bridge::RouteRequest&, const std::tm&) { return RouteFile{true, "route.gpx"}; };

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

  library::Extractor extractor() {
    return [this](const std::string& clip, const std::string& relative, const std::string&) {
      events_.push_back("extract:" + clip);
      if (clip.find("HUGE") != std::string::npos) {
        return library::TrackOutcome::too_large;
      }
      std::ofstream(home_ + relative) << "data";
      return library::TrackOutcome::written;
    };
  }

  // Clips named in `durations_` have that movie length.
  library::DurationReader durations() {
    return [this](const std::string& clip) -> std::optional<double> {
      const auto found = durations_.find(clip);
      return found == durations_.end() ? std::nullopt : std::optional<double>(found->second);
    };
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

  std::string library() const { return home_ + "/VEK/data"; }
  std::string files() const { return home_ + "/VEK/files"; }

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
  FakeSnapshotter* snapshotter_ = nullptr;
  FakeExporter* exporter_ = nullptr;
  FakeRecorder* recorder_ = nullptr;
  std::unique_ptr<AppDelegate> app_;
};

}  // namespace vek::app::testing
