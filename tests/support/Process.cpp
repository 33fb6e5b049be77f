#include "support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "support/Wait.h"

extern char** environ;

namespace vek::test {
namespace {

using Clock = std::chrono::steady_clock;

// Enough of a failed program's error output to say why.
constexpr std::size_t kDescribedTail = 2000;
// What a piped standard error keeps: far more than any marker looked for.
constexpr std::size_t kKeptErrorRead = 16384;

std::vector<std::string> own_environment() {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry)
    env.emplace_back(*entry);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> list;
  for (std::string& text : texts)
    list.push_back(text.data());
  list.push_back(nullptr);
  return list;
}

int status_of(int raw) {
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// Spawns `argv` in a new process group with the file actions given.
pid_t spawn_grouped(std::vector<std::string> argv, std::vector<std::string> env,
                    const posix_spawn_file_actions_t& actions) {
  if (argv.empty()) return -1;
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<char*> args = pointers(argv);
  std::vector<char*> envp = pointers(env);
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  return error == 0 ? pid : -1;
}

std::optional<int> reap(pid_t pid, int flags) {
  int raw = 0;
  pid_t got = 0;
  do {
    got = ::waitpid(pid, &raw, flags);
  } while (got < 0 && errno == EINTR);
  if (got == pid) return status_of(raw);
  return std::nullopt;
}

// The three pipes of a captured run: [0] stdin, [1] stdout, [2] stderr.
struct Pipes {
  std::array<std::array<int, 2>, 3> ends{{{-1, -1}, {-1, -1}, {-1, -1}}};
  Pipes() {
    for (auto& pair : ends) {
      if (::pipe2(pair.data(), O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    }
  }
  Pipes(const Pipes&) = delete;
  Pipes& operator=(const Pipes&) = delete;
  ~Pipes() {
    for (auto& pair : ends)
      for (int& fd : pair)
        close_end(fd);
  }
  static void close_end(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

pid_t spawn_captured(const std::vector<std::string>& argv, std::vector<std::string> env, Pipes& pipes) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes.ends[0][0], 0);
  posix_spawn_file_actions_adddup2(&actions, pipes.ends[1][1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipes.ends[2][1], 2);
  const pid_t pid = spawn_grouped(argv, std::move(env), actions);
  posix_spawn_file_actions_destroy(&actions);
  Pipes::close_end(pipes.ends[0][0]);
  Pipes::close_end(pipes.ends[1][1]);
  Pipes::close_end(pipes.ends[2][1]);
  return pid;
}

void feed_input(int& fd, const std::string& input) {
  // A child that never reads its input must not block the test: a pipe
  // holds 64 KiB, and tests pass far less.
  const auto saved = ::signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  while (written < input.size()) {
    const std::string_view rest = std::string_view(input).substr(written);
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  ::signal(SIGPIPE, saved);
  Pipes::close_end(fd);
}

// Reads both streams until they close or the deadline passes; false on timeout.
bool drain(Pipes& pipes, RunResult& result, Clock::time_point deadline) {
  std::array<char, 8192> chunk{};
  while (pipes.ends[1][0] >= 0 || pipes.ends[2][0] >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    std::array<pollfd, 2> watched{{{pipes.ends[1][0], POLLIN, 0}, {pipes.ends[2][0], POLLIN, 0}}};
    if (::poll(watched.data(), watched.size(), static_cast<int>(left)) < 0 && errno != EINTR) return false;
    for (std::size_t i = 0; i < watched.size(); ++i) {
      if (watched[i].revents == 0) continue;
      const ssize_t got = ::read(watched[i].fd, chunk.data(), chunk.size());
      std::string& text = i == 0 ? result.out : result.err;
      if (got > 0)
        text.append(chunk.data(), static_cast<std::size_t>(got));
      else
        Pipes::close_end(pipes.ends[i + 1][0]);
    }
  }
  return true;
}

// True once `fd` has something to read, or has closed, before `deadline`.
bool readable_before(int fd, Clock::time_point deadline) {
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd watched{fd, POLLIN, 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(left));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

std::string RunResult::describe() const {
  std::string reason = !started    ? "could not be started"
                       : timed_out ? "timed out"
                                   : "exited with status " + std::to_string(status);
  const std::string tail = err.size() > kDescribedTail ? err.substr(err.size() - kDescribedTail) : err;
  return reason + (tail.empty() ? "" : ":\n" + tail);
}

std::vector<std::string> environment_with(const std::vector<std::string>& overrides) {
  std::vector<std::string> env;
  for (std::string& entry : own_environment()) {
    const std::string name = entry.substr(0, entry.find('=') + 1);
    bool replaced = false;
    for (const std::string& o : overrides)
      replaced = replaced || o.starts_with(name);
    if (!replaced) env.push_back(std::move(entry));
  }
  env.insert(env.end(), overrides.begin(), overrides.end());
  return env;
}

RunResult run_process(const std::vector<std::string>& argv, const RunOptions& options) {
  RunResult result;
  Pipes pipes;
  const pid_t pid = spawn_captured(argv, options.env.value_or(own_environment()), pipes);
  if (pid < 0) return result;
  result.started = true;
  feed_input(pipes.ends[0][1], options.input);
  if (!drain(pipes, result, Clock::now() + options.timeout)) {
    result.timed_out = true;
    ::kill(-pid, SIGKILL);
  }
  result.status = reap(pid, 0).value_or(-1);
  return result;
}

Child::Child(const std::vector<std::string>& argv, const Streams& streams,
             const std::optional<std::vector<std::string>>& env) {
  std::array<int, 2> err_ends{-1, -1};
  if (streams.err_piped && ::pipe2(err_ends.data(), O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  const auto target = [](const std::filesystem::path& path) { return path.empty() ? "/dev/null" : path.c_str(); };
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, target(streams.out), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (streams.err_piped)
    posix_spawn_file_actions_adddup2(&actions, err_ends[1], 2);
  else
    posix_spawn_file_actions_addopen(&actions, 2, target(streams.err), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_ = spawn_grouped(argv, env.value_or(own_environment()), actions);
  posix_spawn_file_actions_destroy(&actions);
  err_pipe_ = err_ends[0];
  if (err_ends[1] >= 0) ::close(err_ends[1]);
  if (pid_ < 0) {
    close_err_pipe();
    throw std::runtime_error("cannot start " + (argv.empty() ? std::string("nothing") : argv[0]));
  }
}

Child::~Child() {
  if (running()) {
    ::kill(-pid_, SIGKILL);
    status_ = reap(pid_, 0);
  }
  close_err_pipe();
}

void Child::close_err_pipe() noexcept {
  if (err_pipe_ >= 0) ::close(err_pipe_);
  err_pipe_ = -1;
}

bool Child::running() {
  if (status_) return false;
  status_ = reap(pid_, WNOHANG);
  return !status_;
}

std::optional<int> Child::wait_exit(std::chrono::milliseconds timeout) {
  wait_until([this] { return !running(); }, timeout);
  return status_;
}

std::optional<int> Child::stop(std::chrono::milliseconds grace) {
  if (!running()) return status_;
  ::kill(-pid_, SIGTERM);
  if (wait_exit(grace)) return status_;
  ::kill(-pid_, SIGKILL);
  status_ = reap(pid_, 0);
  return status_;
}

bool Child::read_err_until(std::string_view marker, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  std::array<char, 4096> chunk{};
  while (err_read_.find(marker) == std::string::npos) {
    if (err_pipe_ < 0 || !readable_before(err_pipe_, deadline)) return false;
    const ssize_t got = ::read(err_pipe_, chunk.data(), chunk.size());
    if (got <= 0) {
      close_err_pipe();
      return false;
    }
    err_read_.append(chunk.data(), static_cast<std::size_t>(got));
    if (err_read_.size() > kKeptErrorRead) err_read_.erase(0, err_read_.size() - kKeptErrorRead);
  }
  return true;
}

}  // namespace vek::test
