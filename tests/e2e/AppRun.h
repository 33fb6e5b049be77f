#pragma once
// Runs the real vek binary from a temporary installation prefix with a
// temporary HOME, and watches its standard output and error.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/Process.h"

namespace vek::e2e {

using namespace std::chrono_literals;

// Generous: WebKit starts in about 0.7 s, but sanitizers slow it down.
constexpr auto kStartTimeout = 60s;

struct RunOptions {
  // Folder whose files become share/vek/www; empty leaves the page out.
  std::filesystem::path page_dir;
  // Commands the test page sends after its first report.
  std::vector<std::string> plan;
  // A real `cmake --install` of the build into the prefix instead of copies;
  // page_dir and plan are then unused.
  bool cmake_install = false;
};

class AppRun {
 public:
  explicit AppRun(const std::string& name, RunOptions options);
  AppRun(const AppRun&) = delete;
  AppRun& operator=(const AppRun&) = delete;
  ~AppRun();

  void start(const std::vector<std::string>& arguments = {}, const std::vector<std::string>& extra_env = {});
  // Waits until the stream holds `text`; false on timeout or when the app ended.
  bool wait_for_stderr(const std::string& text, std::chrono::milliseconds timeout = kStartTimeout);
  // Waits until the page has made `count` calls of `name`; false on timeout
  // or when the app ended short of them.
  bool wait_for_calls(const std::string& name, std::size_t count, std::chrono::milliseconds timeout = kStartTimeout);
  // Exit status once the process has ended within `timeout`.
  std::optional<int> wait_exit(std::chrono::milliseconds timeout);
  bool running();

  std::string out() const;
  std::string err() const;
  // The page's recorded calls, in order: the JSON of the arguments of each
  // "VEKTEST <name> <json>" console line, which WebKit writes to stderr.
  std::vector<std::string> page_calls(const std::string& name) const;

  const std::filesystem::path& home() const { return home_; }
  const std::filesystem::path& root() const { return root_; }
  const std::filesystem::path& prefix() const { return prefix_; }
  pid_t pid() const { return child_ ? child_->pid() : -1; }

 private:
  bool wait_for(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout);
  void install(const RunOptions& options);

  std::filesystem::path root_;
  std::filesystem::path home_;
  std::filesystem::path prefix_;
  std::optional<test::Child> child_;
};

// A helper process (window manager, drag source) ended with its owner.
class Helper {
 public:
  // Starts `argv` with the test's environment, stderr to `stderr_file`.
  Helper(const std::vector<std::string>& argv, const std::filesystem::path& stderr_file)
      : child_(argv, {"", stderr_file}) {}

 private:
  test::Child child_;
};

// Runs a shell command line; true when it exits with status 0.
bool run_command(const std::string& command);

// Reads a whole file; empty when it cannot be read.
std::string read_file(const std::filesystem::path& path);

// A JSON string literal of `text` as the page's JSON.stringify writes it
// for plain text (quotes and backslashes escaped).
std::string json_string(const std::string& text);

// Makes a short clip with freeGPS data (once per process) and returns it.
std::filesystem::path generated_clip();

}  // namespace vek::e2e
