#pragma once
// Starting other programs from tests and benchmarks: run one to its end and
// keep what it printed, or start a long-running one and stop it later.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::test {

using namespace std::chrono_literals;

struct RunOptions {
  // The whole environment as NAME=VALUE; nullopt passes this process's own.
  std::optional<std::vector<std::string>> env;
  // The child (and its process group) is killed when it runs longer.
  std::chrono::milliseconds timeout = 120s;
  // Written to the child's standard input, which is then closed.
  std::string input;

  static RunOptions with_timeout(std::chrono::milliseconds limit) {
    RunOptions options;
    options.timeout = limit;
    return options;
  }
};

struct RunResult {
  bool started = false;
  bool timed_out = false;
  // The exit status, or 128 + the signal that ended it; -1 when not started.
  int status = -1;
  std::string out;
  std::string err;

  bool ok() const noexcept { return started && !timed_out && status == 0; }
  // Why it did not succeed, with the tail of its error output.
  std::string describe() const;
};

// Runs `argv` (argv[0] found through PATH) to its end within the timeout.
RunResult run_process(const std::vector<std::string>& argv, const RunOptions& options = {});

// This process's environment with `overrides` (NAME=VALUE) put in place.
std::vector<std::string> environment_with(const std::vector<std::string>& overrides);

// A long-running child in a process group of its own, so that stopping it
// also ends what it started. Output goes to files (or /dev/null when empty).
class Child {
 public:
  struct Streams {
    std::filesystem::path out;
    std::filesystem::path err;
    // Standard error into a pipe read by read_err_until instead of `err`, so
    // a line is seen the moment it is written, not at the next poll of a file.
    bool err_piped = false;
  };
  Child(const std::vector<std::string>& argv, const Streams& streams,
        const std::optional<std::vector<std::string>>& env = std::nullopt);
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  // Kills the whole group at once when still running.
  ~Child();

  pid_t pid() const noexcept { return pid_; }
  bool running();
  // The exit status (or 128 + signal) once it ended within `timeout`.
  std::optional<int> wait_exit(std::chrono::milliseconds timeout);
  // SIGTERM to the group, then SIGKILL when it has not ended within `grace`.
  std::optional<int> stop(std::chrono::milliseconds grace = 5s);

  // With a piped standard error: reads it until `marker` shows; false when
  // `timeout` passes or the stream ends first.
  bool read_err_until(std::string_view marker, std::chrono::milliseconds timeout);
  // The end of what read_err_until has read (its last few KiB).
  const std::string& err_read() const noexcept { return err_read_; }

 private:
  void close_err_pipe() noexcept;

  pid_t pid_ = -1;
  std::optional<int> status_;
  int err_pipe_ = -1;
  std::string err_read_;
};

}  // namespace vek::test
