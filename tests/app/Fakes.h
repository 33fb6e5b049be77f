#pragma once
// Platform and media stand-ins that record what the application asks of them.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/ports/Desktop.h"
#include "app/ports/Dialogs.h"
#include "app/ports/Log.h"
#include "app/ports/MainThread.h"
#include "app/ports/Volumes.h"
#include "app/ports/WebView.h"
#include "app/ports/Window.h"
#include "media/core/MediaPorts.h"

namespace vek::app::testing {

// Everything the application did, in order, as readable events.
using Events = std::vector<std::string>;

struct FakeWebView : ports::WebView {
  explicit FakeWebView(Events& events) : events_(events) {}
  void load_page(const std::string& page_path) override { events_.push_back("load:" + page_path); }
  void evaluate(const std::string& script) override {
    scripts.push_back(script);
    events_.push_back("js:" + script);
  }
  ports::ViewSize size() const override { return view; }
  std::optional<ports::ScreenArea> screen_area() const override { return area; }

  std::vector<std::string> scripts;
  ports::ViewSize view{960, 578};
  std::optional<ports::ScreenArea> area = ports::ScreenArea{1930, 262, 960, 578};
  Events& events_;
};

struct FakeWindow : ports::Window {
  ports::Frame frame() const override { return current; }
  void set_frame(const ports::Frame& frame) override {
    set_frames.push_back(frame);
    const bool resized = frame.width != current.width || frame.height != current.height;
    current = frame;
    if (resized && on_resize) {
      on_resize();
    }
  }
  double screen_height() const override { return screen; }

  ports::Frame current{100, 200, 800, 600};
  double screen = 900;
  std::vector<ports::Frame> set_frames;
  // Set to deliver size changes synchronously, as some window systems do.
  std::function<void()> on_resize;
};

struct FakeDialogs : ports::Dialogs {
  explicit FakeDialogs(Events& events) : events_(events) {}
  std::optional<std::vector<std::string>> choose_clips() override {
    events_.push_back("chooser");
    return chosen;
  }
  std::optional<std::vector<std::string>> chosen;
  Events& events_;
};

struct FakeDesktop : ports::Desktop {
  explicit FakeDesktop(Events& events) : events_(events) {}
  void open_folder(const std::string& path) override { events_.push_back("open_folder:" + path); }
  void open_uri(const std::string& uri) override { events_.push_back("open_uri:" + uri); }
  void exit_now(int status) override { events_.push_back("exit:" + std::to_string(status)); }
  Events& events_;
};

struct FakeLog : ports::Log {
  void line(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// Tasks may be posted from any thread, as the real main loop's are; they run
// only when a test runs them.
struct FakeMainThread : ports::MainThread {
  void post(std::function<void()> task) override {
    {
      const std::lock_guard lock(mutex);
      queue.push_back(std::move(task));
    }
    posted.notify_all();
  }
  // The delay is not kept: a delayed task runs with the others, in order.
  void post_after(std::chrono::milliseconds /*delay*/, std::function<void()> task) override { post(std::move(task)); }
  // Runs every queued task, including those the tasks queue.
  void run_all() {
    while (auto task = take()) {
      (*task)();
    }
  }
  // Runs tasks as they come until `done` holds; false after `timeout` without.
  // `done` is looked at every few milliseconds too, for what a worker does
  // without posting.
  bool run_until(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (auto task = take()) {
        (*task)();
        continue;
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      std::unique_lock lock(mutex);
      posted.wait_for(lock, std::chrono::milliseconds(5), [this] { return !queue.empty(); });
    }
    return true;
  }
  // Waits up to `timeout` for a task, then runs everything queued; false if none came.
  bool run_when_posted(std::chrono::milliseconds timeout) {
    {
      std::unique_lock lock(mutex);
      if (!posted.wait_for(lock, timeout, [this] { return !queue.empty(); })) {
        return false;
      }
    }
    run_all();
    return true;
  }
  std::optional<std::function<void()>> take() {
    const std::lock_guard lock(mutex);
    if (queue.empty()) {
      return std::nullopt;
    }
    auto task = std::move(queue.front());
    queue.pop_front();
    return task;
  }
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<std::function<void()>> queue;
};

// Cards put in and pulled out by the test.
struct FakeVolumes : ports::Volumes {
  void watch(ports::VolumeEvents watched) override { events = std::move(watched); }
  void mount(const std::string& root, const std::string& name) const { events.mounted(root, name); }
  void unmount(const std::string& root) const { events.unmounted(root); }
  ports::VolumeEvents events;
};

struct FakeSnapshotter : media::Snapshotter {
  media::FrameResult save_frame(const std::string& uri, std::int64_t value, std::int32_t timescale,
                                const std::filesystem::path& png_path) override {
    frames.push_back(uri + "@" + std::to_string(value) + "/" + std::to_string(timescale) + "->" + png_path.string());
    if (frame_result.error.empty() && writes_files) {
      std::ofstream(png_path) << "png";
    }
    return frame_result;
  }
  bool save_screen_area(const media::ScreenRect& area, const std::filesystem::path& png_path) override {
    areas.push_back(area);
    area_paths.push_back(png_path.string());
    if (area_result && writes_files) {
      std::ofstream(png_path) << "png";
    }
    return area_result;
  }
  // A snapshot that reports success may still leave no file behind.
  bool writes_files = true;
  bool area_result = true;
  std::vector<std::string> frames;
  media::FrameResult frame_result{"", 1920, 1080};
  std::vector<media::ScreenRect> areas;
  std::vector<std::string> area_paths;
};

struct FakeExporter : media::Exporter {
  void start(std::vector<std::filesystem::path> clips, std::filesystem::path output, Progress on_progress,
             Completion on_done) override {
    started_clips = std::move(clips);
    started_output = std::move(output);
    progress = std::move(on_progress);
    done = std::move(on_done);
  }
  void start_export(media::ExportRequest request, Progress on_progress, Completion on_done) override {
    started_request = request;
    started_clips = std::move(request.clips);
    started_output = std::move(request.output);
    progress = std::move(on_progress);
    done = std::move(on_done);
  }
  void cancel_exports() override { ++cancels; }
  std::optional<media::ExportRequest> started_request;
  int cancels = 0;
  std::vector<std::filesystem::path> started_clips;
  std::filesystem::path started_output;
  Progress progress;
  Completion done;
};

struct FakeRecorder : media::ScreenRecorder {
  explicit FakeRecorder(Events& events) : events_(events) {}
  void start(const std::filesystem::path& file) override { events_.push_back("record:" + file.string()); }
  void stop() override { events_.push_back("record_stop"); }
  bool toggle() override {
    paused = !paused;
    return !paused;
  }
  bool paused = false;
  Events& events_;
};

}  // namespace vek::app::testing
