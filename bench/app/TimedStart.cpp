#include "TimedStart.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>

extern char** environ;

namespace vek::bench {
namespace {

// Enough of the program's last output to say why it did not get there.
constexpr std::size_t kKeptOutput = 4096;

using Clock = std::chrono::steady_clock;

std::vector<std::string> environment_with_home(const std::filesystem::path& home) {
  std::vector<std::string> env{"HOME=" + home.string()};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "HOME=", 5) != 0) {
      env.emplace_back(*entry);
    }
  }
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> list;
  for (std::string& text : texts) {
    list.push_back(text.data());
  }
  list.push_back(nullptr);
  return list;
}

// The child's stderr goes to `write_end`; its stdout is dropped.
pid_t spawn_with_stderr(std::vector<std::string> argv_texts, std::vector<std::string> env_texts, int write_end) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, write_end, 2);
  std::vector<char*> argv = pointers(argv_texts);
  std::vector<char*> envp = pointers(env_texts);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

void keep_tail(std::string& output) {
  if (output.size() > kKeptOutput) {
    output.erase(0, output.size() - kKeptOutput);
  }
}

// Reads until `marker` shows; false on timeout or when the stream ends.
bool read_until(int read_end, const std::string& marker, Clock::time_point deadline, std::string& output) {
  std::array<char, 4096> chunk{};
  while (output.find(marker) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd watched{read_end, POLLIN, 0};
    if (left <= 0 || poll(&watched, 1, static_cast<int>(left)) <= 0) {
      return false;
    }
    const ssize_t got = read(read_end, chunk.data(), chunk.size());
    if (got <= 0) {
      return false;
    }
    output.append(chunk.data(), static_cast<std::size_t>(got));
    keep_tail(output);
  }
  return true;
}

void end_program(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

StartTime time_until_marker(const std::vector<std::string>& argv, const std::filesystem::path& home,
                            const std::string& marker, std::chrono::milliseconds timeout) {
  std::array<int, 2> pipe_ends{};
  if (pipe2(pipe_ends.data(), O_CLOEXEC) != 0) {
    return {false, 0, "cannot make a pipe"};
  }
  std::vector<std::string> env = environment_with_home(home);
  const Clock::time_point start = Clock::now();
  const pid_t pid = spawn_with_stderr(argv, std::move(env), pipe_ends[1]);
  close(pipe_ends[1]);
  if (pid < 0) {
    close(pipe_ends[0]);
    return {false, 0, "cannot start " + argv.front()};
  }
  std::string output;
  const bool reached = read_until(pipe_ends[0], marker, start + timeout, output);
  const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
  end_program(pid);
  close(pipe_ends[0]);
  if (!reached) {
    return {false, 0, argv.front() + " did not write \"" + marker + "\"; its last output:\n" + output};
  }
  return {true, elapsed.count(), ""};
}

}  // namespace vek::bench
